#include "log/widgets/output_view.h"

#include "log/output_log.h"

#include <QFontDatabase>
#include <QScrollBar>

COutputView::COutputView(QWidget *parent) : QPlainTextEdit(parent), m_log(new OutputLog(this))
{
    m_log->makeActive();
    setUp();
}

COutputView::COutputView(OutputLog *log, QWidget *parent) : QPlainTextEdit(parent), m_log(log)
{
    setUp();
}

QFont COutputView::FixedPitchFont()
{
    // A face that fontconfig substitutes for a missing one may claim fixed
    // pitch and still not have it; the columns of the system information
    // stay aligned only with a face that really is fixed.
    for (const QString &family : {QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"),
                                  QStringLiteral("Liberation Mono"), QStringLiteral("Noto Sans Mono")}) {
        QFont font(family, 9);
        font.setStyleHint(QFont::TypeWriter);
        const QFontInfo info(font);
        if (info.family() == family && info.fixedPitch())
            return font;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    return font;
}

void COutputView::setUp()
{
    setObjectName(QStringLiteral("COutputView"));
    setFont(FixedPitchFont());
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setMaximumBlockCount(kMaximumLines);
    connect(m_log, &OutputLog::textAdded, this, &COutputView::appendText);
}

void COutputView::showEvent(QShowEvent *event)
{
    QPlainTextEdit::showEvent(event);
    m_log->writeSystemInformationOnce(m_portSource ? m_portSource() : QString());
}

void COutputView::appendText(const QString &text)
{
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    QString plain = text;
    plain.remove(u'\r');
    end.insertText(plain);
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}
