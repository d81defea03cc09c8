#include "tree/progress_presenter.h"

#include "tree/progress_text.h"

#include <algorithm>

ProgressPresenter::ProgressPresenter(ProgressKind kind, int length, std::unique_ptr<ProgressView> view,
                                     Clock clock)
    : m_kind(kind), m_view(std::move(view)), m_clock(std::move(clock)), m_length(std::max(0, length))
{
    m_created = m_clock();
    m_view->SetCaption(ProgressText::Caption(kind));
    m_view->StartAnimation(ProgressText::AnimationId(kind));
    m_view->SetRange(m_length);
    m_view->SetPosition(0);
    m_view->SetWaitCursor(true);
    m_waitCursor = true;
}

ProgressPresenter::~ProgressPresenter()
{
    End();
}

bool ProgressPresenter::Step(int count, const QString &source, const QString &destination)
{
    if (m_ended)
        return !m_cancelled;
    m_view->SetText(ProgressText::StepText(m_kind, source, destination));
    m_position = std::min(m_length, m_position + std::max(0, count));
    m_view->SetPosition(m_position);
    const qint64 now = m_clock();
    if (!m_shown && now - m_created >= kShowAfterMs) {
        m_view->SetWaitCursor(false);
        m_waitCursor = false;
        m_view->Show();
        m_shown = true;
        m_shownAt = now;
        m_lastPump = now;
        m_view->PumpMessages();
    } else if (m_shown && now - m_lastPump >= kPumpEveryMs) {
        m_view->PumpMessages();
        m_lastPump = m_clock();
    }
    // Cancel hides the window; the operation learns of it here.
    if (m_shown && !m_view->IsVisible())
        m_cancelled = true;
    return !m_cancelled;
}

void ProgressPresenter::End()
{
    if (m_ended)
        return;
    m_ended = true;
    // A window that flashed up for a moment would only puzzle the user.
    if (m_shown && m_view->IsVisible()) {
        for (qint64 shownFor = m_clock() - m_shownAt; shownFor < kShownAtLeastMs;
             shownFor = m_clock() - m_shownAt)
            m_view->PumpFor(int(std::min<qint64>(kPumpEveryMs, kShownAtLeastMs - shownFor)));
    }
    m_view->StopAnimation();
    m_view->Close();
    if (m_waitCursor)
        m_view->SetWaitCursor(false);
}
