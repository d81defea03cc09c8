#pragma once

// An event that stays signalled until one waiter has seen it and then resets
// itself. All events share one lock so that a thread can wait for whichever
// of two comes first.
class AutoResetEvent {
public:
    // Forever, for the waits below.
    static constexpr int kInfinite = -1;

    AutoResetEvent() = default;
    AutoResetEvent(const AutoResetEvent &) = delete;
    AutoResetEvent &operator=(const AutoResetEvent &) = delete;

    void set();
    void reset();
    bool isSet() const;
    // Waits until the event is signalled, at most timeoutMs (0: look and go
    // on, kInfinite: no limit); true when it was, and then it is reset.
    bool wait(int timeoutMs);
    // Waits for the first of two events, at most timeoutMs. Returns 0 or 1
    // for the event that ended the wait (the first when both are set; only
    // that one is reset), -1 on time-out.
    static int waitForEither(AutoResetEvent &first, AutoResetEvent &second, int timeoutMs);

private:
    bool m_signalled = false;
};
