#pragma once

#include <QString>

class QLabel;

// The verdict band of a run: large enough to be read from a metre away,
// green for verified, red for failed.
namespace VerdictBand {
void Style(QLabel &band);
void Show(QLabel &band, const QString &verdict);
} // namespace VerdictBand
