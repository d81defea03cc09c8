#pragma once

#include <QString>

#include <functional>

// The item model's lines for the output log.
namespace TreeLog {
using Sink = std::function<void(const QString &)>;
// Appends one line to the output log.
void Write(const QString &text);
// Installs where the lines go and returns the sink it replaces.
Sink SetSink(Sink sink);
} // namespace TreeLog
