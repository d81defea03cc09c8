#include "tree/widgets/progress_window.h"

#include "base/string_table.h"
#include "tree/hierarchy_strings.h"
#include "tree/tree_strings.h"
#include "tree/widgets/progress_animation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

ProgressWindow::ProgressWindow(QWidget *owner, BusyHook busy)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint), m_owner(owner),
      m_busy(std::move(busy))
{
    setObjectName(QStringLiteral("24604"));
    setModal(false);
    m_animation = new ProgressAnimation(this);
    m_animation->setObjectName(QStringLiteral("1157"));
    m_animation->setAccessibleName(Str(TreeStrings::MultiplyingCaption));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("1155"));
    m_text->setTextFormat(Qt::PlainText);
    // Two lines always, so that the window does not jump between steps.
    m_text->setMinimumHeight(2 * fontMetrics().lineSpacing());
    m_text->setMinimumWidth(fontMetrics().averageCharWidth() * 62);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("1156"));
    m_bar->setTextVisible(false);
    m_cancel = new QPushButton(Str(HierarchyStrings::CancelButton), this);
    m_cancel->setObjectName(QStringLiteral("IDCANCEL"));
    m_cancel->setAccessibleName(Str(HierarchyStrings::CancelButton));
    connect(m_cancel, &QPushButton::clicked, this, &ProgressWindow::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_animation);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

ProgressWindow::~ProgressWindow()
{
    SetWaitCursor(false);
}

void ProgressWindow::install(QWidget *owner, BusyHook busy)
{
    QPointer<QWidget> guarded(owner);
    ProgressService::setFactory(
        [guarded, busy](ProgressKind kind, int length) -> std::unique_ptr<ItemProgress> {
            auto clock = std::make_shared<QElapsedTimer>();
            clock->start();
            return std::make_unique<ProgressPresenter>(kind, length,
                                                       std::make_unique<ProgressWindow>(guarded.data(), busy),
                                                       [clock] { return clock->elapsed(); });
        });
}

void ProgressWindow::SetCaption(const QString &caption)
{
    setWindowTitle(caption);
    setAccessibleName(caption);
    m_animation->setAccessibleName(caption);
}

void ProgressWindow::StartAnimation(int animationId)
{
    m_animation->Play(animationId);
}

void ProgressWindow::StopAnimation()
{
    m_animation->Stop();
}

void ProgressWindow::SetRange(int length)
{
    m_bar->setRange(0, length);
}

void ProgressWindow::SetText(const QString &text)
{
    m_text->setText(text);
}

void ProgressWindow::SetPosition(int position)
{
    m_bar->setValue(position);
}

void ProgressWindow::Show()
{
    show();
    if (m_owner)
        move(m_owner->geometry().center() - rect().center());
    raise();
}

bool ProgressWindow::IsVisible() const
{
    return isVisible();
}

void ProgressWindow::Close()
{
    hide();
}

void ProgressWindow::reject()
{
    // Hidden, not destroyed: the running operation reads the cancel from it.
    hide();
}

void ProgressWindow::PumpMessages()
{
    if (m_busy)
        m_busy(true);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (m_busy)
        m_busy(false);
}

void ProgressWindow::PumpFor(int ms)
{
    QElapsedTimer waited;
    waited.start();
    do {
        PumpMessages();
        QThread::msleep(10);
    } while (waited.elapsed() < ms);
}

void ProgressWindow::SetWaitCursor(bool on)
{
    if (on == m_waitCursor || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    m_waitCursor = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
