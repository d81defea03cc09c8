#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// The fuzz targets linked into one program, by name ("frames", "csv" ...).
using FuzzTargetFunction = int (*)(const std::uint8_t *data, std::size_t size);

FuzzTargetFunction FindFuzzTarget(const QString &name);
QStringList FuzzTargetNames();
