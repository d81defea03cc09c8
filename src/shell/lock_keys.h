#pragma once

#include <QString>
#include <Qt>

#include <optional>

// The states of the three lock keys that the status bar shows as CAP, NUM
// and SCRL. The program learns them from the keys it sees: a lock key
// toggles its state; a typed letter tells Caps Lock (upper case without
// Shift, or lower case with it); a digit from the keypad tells Num Lock on,
// a keypad arrow or Home tells it off. Where the windowing system hands over
// its modifier state with each key (X11), that state decides Caps and Num.
class LockKeys {
public:
    enum Lock { Caps, Num, Scroll };

    bool On(Lock lock) const { return m_on[lock]; }
    // A key pressed anywhere in the program; true when a state changed.
    // x11State: the X11 modifier mask of the key event, when there is one.
    bool KeyPressed(int key, const QString &text, Qt::KeyboardModifiers modifiers,
                    std::optional<quint32> x11State = std::nullopt);

private:
    bool Set(Lock lock, bool on);

    bool m_on[3] = {false, false, false};
};
