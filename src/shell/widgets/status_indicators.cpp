#include "shell/widgets/status_indicators.h"

#include "base/shell_strings.h"
#include "base/string_table.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

namespace {
constexpr const char *kNames[3] = {"CAP", "NUM", "SCRL"};
constexpr int kTexts[3] = {ShellStrings::IndicatorCaps, ShellStrings::IndicatorNum, ShellStrings::IndicatorScroll};
} // namespace

StatusIndicators::StatusIndicators(QStatusBar &bar) : QObject(&bar)
{
    for (int lock = 0; lock < 3; ++lock) {
        auto *pane = new QLabel(&bar);
        pane->setObjectName(QLatin1String(kNames[lock]));
        pane->setAlignment(Qt::AlignCenter);
        bar.addPermanentWidget(pane);
        m_panes[lock] = pane;
    }
    Retranslate();
    qApp->installEventFilter(this);
}

StatusIndicators::~StatusIndicators()
{
    qApp->removeEventFilter(this);
}

void StatusIndicators::Retranslate()
{
    for (int lock = 0; lock < 3; ++lock) {
        const QString text = Str(kTexts[lock]);
        m_panes[lock]->setAccessibleName(text);
        m_panes[lock]->setMinimumWidth(m_panes[lock]->fontMetrics().horizontalAdvance(text) + 8);
    }
    Show();
}

void StatusIndicators::Show()
{
    for (int lock = 0; lock < 3; ++lock)
        m_panes[lock]->setText(m_locks.On(LockKeys::Lock(lock)) ? Str(kTexts[lock]) : QString());
}

bool StatusIndicators::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease)
        m_lastPress = nullptr;
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() || event == m_lastPress)
        return false;
    m_lastPress = event;
    const auto *key = static_cast<const QKeyEvent *>(event);
    std::optional<quint32> x11State;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && event->spontaneous())
        x11State = key->nativeModifiers();
    if (m_locks.KeyPressed(key->key(), key->text(), key->modifiers(), x11State))
        Show();
    return false;
}
