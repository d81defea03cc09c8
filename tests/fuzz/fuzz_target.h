#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: the program's surroundings made once (an
// application object, the English texts, message boxes that answer by
// themselves) and the check that stops a run on a broken invariant.
namespace Fuzz {

// Makes the surroundings on the first call; cheap afterwards.
void Setup();

// The input as bytes and as the UTF-8 text a file of the program would give.
QByteArray Bytes(const std::uint8_t *data, std::size_t size);
QString Text(const std::uint8_t *data, std::size_t size);

// Stops the run with a report when the invariant does not hold, so that
// libFuzzer keeps the input as a crash and the replay test fails.
void Require(bool holds, const char *invariant, const QString &detail = QString());

} // namespace Fuzz
