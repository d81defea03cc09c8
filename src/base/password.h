#pragma once

#include <QString>

// The login password is stored only in scrambled form ("asld").
class Password {
public:
    // The built-in text whose scrambled form means "no password".
    static QString emptyPasswordText();
    static QString scramble(const QString &text);
    // The stored value meaning that no password is set; the default of "asld".
    static QString scrambledEmpty() { return scramble(emptyPasswordText()); }
    static bool isSet(const QString &storedScrambled) { return storedScrambled != scrambledEmpty(); }
    static bool matches(const QString &typed, const QString &storedScrambled)
    {
        return scramble(typed) == storedScrambled;
    }
};
