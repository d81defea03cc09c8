#pragma once

#include "tree/progress_presenter.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class ProgressAnimation;
class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of the long item operations (template 24604): the
// animation, the two-line step text, the bar and Cancel. It only shows what
// its presenter tells it; Cancel hides it, which the presenter reads as the
// user's cancel at the next step.
class ProgressWindow : public QDialog, public ProgressView {
    Q_OBJECT
public:
    using BusyHook = std::function<void(bool busy)>;

    explicit ProgressWindow(QWidget *owner = nullptr, BusyHook busy = {});
    ~ProgressWindow() override;

    // Makes the long item operations show this window over owner; busy is
    // told while the window lets messages through.
    static void install(QWidget *owner, BusyHook busy = {});

    void SetCaption(const QString &caption) override;
    void StartAnimation(int animationId) override;
    void StopAnimation() override;
    void SetRange(int length) override;
    void SetText(const QString &text) override;
    void SetPosition(int position) override;
    void Show() override;
    bool IsVisible() const override;
    void Close() override;
    void PumpMessages() override;
    void PumpFor(int ms) override;
    void SetWaitCursor(bool on) override;

    ProgressAnimation *Animation() const { return m_animation; }

protected:
    // Closing the window is pressing Cancel.
    void reject() override;

private:
    QPointer<QWidget> m_owner;
    BusyHook m_busy;
    ProgressAnimation *m_animation = nullptr;
    QLabel *m_text = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_waitCursor = false;
};
