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

void COutputView::setUp()
{
    setObjectName(QStringLiteral("COutputView"));
    QFont font(QStringLiteral("Courier New"), 9);
    // Where that face is missing, any fixed-pitch face keeps the columns of
    // the system information aligned.
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    setFont(font);
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setMaximumBlockCount(kMaximumLines);
    connect(m_log, &OutputLog::textAdded, this, &COutputView::appendText);
}

void COutputView::showEvent(QShowEvent *event)
{
    QPlainTextEdit::showEvent(event);
    m_log->writeSystemInformationOnce();
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
