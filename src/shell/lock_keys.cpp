#include "shell/lock_keys.h"

namespace {
// The X11 modifier bits of Caps Lock and (on every common layout) Num Lock.
constexpr quint32 kX11LockMask = 0x02;
constexpr quint32 kX11Mod2Mask = 0x10;

bool IsKeypadMove(int key)
{
    switch (key) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}
} // namespace

bool LockKeys::Set(Lock lock, bool on)
{
    if (m_on[lock] == on)
        return false;
    m_on[lock] = on;
    return true;
}

bool LockKeys::KeyPressed(int key, const QString &text, Qt::KeyboardModifiers modifiers,
                          std::optional<quint32> x11State)
{
    switch (key) {
    case Qt::Key_CapsLock:
        return Set(Caps, !m_on[Caps]);
    case Qt::Key_NumLock:
        return Set(Num, !m_on[Num]);
    case Qt::Key_ScrollLock:
        return Set(Scroll, !m_on[Scroll]);
    default:
        break;
    }
    bool changed = false;
    if (x11State) {
        // The mask is the state before this key, which is no lock key.
        changed = Set(Caps, (*x11State & kX11LockMask) != 0);
        changed = Set(Num, (*x11State & kX11Mod2Mask) != 0) || changed;
        return changed;
    }
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    if (text.size() == 1 && text.at(0).isLetter() && text.at(0).isUpper() != text.at(0).isLower())
        changed = Set(Caps, text.at(0).isUpper() != shift);
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (text.size() == 1 && text.at(0).isDigit())
            changed = Set(Num, true) || changed;
        else if (text.isEmpty() && IsKeypadMove(key))
            changed = Set(Num, false) || changed;
    }
    return changed;
}
