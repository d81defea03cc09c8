#include "tree/tree_log.h"

#include <QDebug>

namespace {
TreeLog::Sink &CurrentSink()
{
    static TreeLog::Sink sink = [](const QString &text) { qInfo().noquote() << text; };
    return sink;
}
} // namespace

void TreeLog::Write(const QString &text)
{
    if (CurrentSink())
        CurrentSink()(text);
}

TreeLog::Sink TreeLog::SetSink(Sink sink)
{
    Sink previous = std::move(CurrentSink());
    CurrentSink() = std::move(sink);
    return previous;
}
