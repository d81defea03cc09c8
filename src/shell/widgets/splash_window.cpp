#include "shell/widgets/splash_window.h"

#include "base/language.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

SplashWindow *SplashWindow::ShowFromPack()
{
    const QString path = Language::packResource(QStringLiteral("splash.svg"));
    if (path.isEmpty())
        return nullptr;
    auto *renderer = new QSvgRenderer(path);
    if (!renderer->isValid()) {
        delete renderer;
        return nullptr;
    }
    auto *splash = new SplashWindow(renderer);
    splash->show();
    return splash;
}

SplashWindow::SplashWindow(QSvgRenderer *renderer)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_renderer(renderer)
{
    setObjectName(QStringLiteral("24577"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_renderer->setParent(this);
    const QSize size = m_renderer->defaultSize().isValid() ? m_renderer->defaultSize() : QSize(600, 360);
    resize(size);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    m_shown.start();
    connect(&m_check, &QTimer::timeout, this, [this] { CloseIfDue(false); });
    m_check.start(kCheckMs);
    qApp->installEventFilter(this);
}

SplashWindow::~SplashWindow()
{
    qApp->removeEventFilter(this);
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_renderer->render(&painter, rect());
}

bool SplashWindow::OwnsOpenWindow() const
{
    for (const QWidget *window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible() && window->parentWidget() == this)
            return true;
    return false;
}

void SplashWindow::CloseIfDue(bool pressed)
{
    if ((pressed || m_shown.elapsed() >= kShownMs) && !OwnsOpenWindow())
        close();
}

bool SplashWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
        CloseIfDue(true);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
