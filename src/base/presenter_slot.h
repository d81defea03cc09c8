#pragma once

#include <utility>

// The one presenter a service shows its dialogs through: the program installs
// real dialogs, the command-line tool its console, tests their scripts.
// Service only tells the slots of services with the same presenter type apart.
template <typename Service, typename Presenter>
class PresenterSlot {
public:
    static Presenter &current()
    {
        static Presenter presenter;
        return presenter;
    }
    // Installs next and returns the presenter it replaces.
    static Presenter replace(Presenter next)
    {
        Presenter previous = std::move(current());
        current() = std::move(next);
        return previous;
    }
};
