#pragma once

#include <QString>

#include <functional>

// Every line the parameter logic writes to the output log passes here.
namespace ParamsLog {
using Sink = std::function<void(const QString &)>;
// Replaces the receiver of the lines and returns the previous one.
Sink setSink(Sink sink);
void write(const QString &line);
} // namespace ParamsLog
