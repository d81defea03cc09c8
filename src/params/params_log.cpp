#include "params/params_log.h"

namespace ParamsLog {
namespace {
Sink &currentSink()
{
    static Sink sink;
    return sink;
}
} // namespace

Sink setSink(Sink sink)
{
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

void write(const QString &line)
{
    if (currentSink())
        currentSink()(line);
}
} // namespace ParamsLog
