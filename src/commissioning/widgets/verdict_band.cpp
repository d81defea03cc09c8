#include "commissioning/widgets/verdict_band.h"

#include "base/string_table.h"
#include "commissioning/commissioning_strings.h"

#include <QLabel>

void VerdictBand::Style(QLabel &band)
{
    band.setAlignment(Qt::AlignCenter);
    band.setMinimumHeight(110);
    QFont big = band.font();
    big.setPointSize(40);
    big.setBold(true);
    band.setFont(big);
}

void VerdictBand::Show(QLabel &band, const QString &verdict)
{
    using namespace CommissioningStrings;
    band.setText(verdict);
    QString style;
    if (verdict == Str(VerdictVerified))
        style = QStringLiteral("background: #1b8a2e; color: white;");
    else if (verdict == Str(VerdictFailed))
        style = QStringLiteral("background: #c0161d; color: white;");
    band.setStyleSheet(style);
}
