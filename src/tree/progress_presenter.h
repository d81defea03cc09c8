#pragma once

#include "tree/item_progress.h"

#include <QString>

#include <functional>
#include <memory>

// What the progress presenter drives: the window itself, or a test's stand-in.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void SetCaption(const QString &caption) = 0;
    // Starts the kind's animation, played over and over until StopAnimation.
    virtual void StartAnimation(int animationId) = 0;
    virtual void StopAnimation() = 0;
    virtual void SetRange(int length) = 0;
    virtual void SetText(const QString &text) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void Show() = 0;
    // False once the user pressed Cancel (or closed the window).
    virtual bool IsVisible() const = 0;
    virtual void Close() = 0;
    // Lets pending window messages through (the user's Cancel among them).
    virtual void PumpMessages() = 0;
    // Waits for up to ms milliseconds while letting messages through.
    virtual void PumpFor(int ms) = 0;
    virtual void SetWaitCursor(bool on) = 0;
};

// The progress window's rules over a view and a clock, so that the timing can
// be tested without waiting: the window shows only once 500 ms have passed
// since it was made (a wait cursor until then), stays at least 1000 ms once
// shown, lets messages through at most every 100 ms, and a window the user
// hid by pressing Cancel cancels the operation at the next step.
class ProgressPresenter : public ItemProgress {
public:
    static constexpr int kShowAfterMs = 500;
    static constexpr int kShownAtLeastMs = 1000;
    static constexpr int kPumpEveryMs = 100;

    using Clock = std::function<qint64()>; // milliseconds, never going back

    ProgressPresenter(ProgressKind kind, int length, std::unique_ptr<ProgressView> view, Clock clock);
    // Ends the progress (End) when it was not ended before.
    ~ProgressPresenter() override;

    bool Step(int count, const QString &source, const QString &destination) override;
    bool Cancelled() const override { return m_cancelled; }
    // Keeps the window the rest of its 1000 ms, then stops and closes it.
    void End();

    int Position() const { return m_position; }
    int Length() const { return m_length; }
    bool Shown() const { return m_shown; }

private:
    ProgressKind m_kind;
    std::unique_ptr<ProgressView> m_view;
    Clock m_clock;
    qint64 m_created = 0;
    qint64 m_shownAt = 0;
    qint64 m_lastPump = 0;
    int m_position = 0;
    int m_length = 0;
    bool m_shown = false;
    bool m_cancelled = false;
    bool m_ended = false;
    bool m_waitCursor = false;
};
