#pragma once

#include <QString>

// What the numeric edit fields of the parameter pages accept while the user
// types, and how they show and read their numbers. The field keeps its text
// with a trailing "%" in percent mode; the caret never passes it.
class NumericInput {
public:
    // AllDecimals shows every decimal, trailing zeros included (23.000).
    enum Option : int { Percent = 1, DecimalPoint = 4, Hexadecimal = 8, NoMinus = 16, AllDecimals = 32 };

    // The text and the caret (selection start and end, equal without a
    // selection) of a field.
    struct State {
        QString text;
        int selectionStart = 0;
        int selectionEnd = 0;
        int caret() const { return selectionEnd; }
    };
    enum class Typed { Taken, Refused, LimitReached };
    struct Result {
        Typed outcome = Typed::Taken;
        State state;
    };

    explicit NumericInput(int options = 0, int decimals = 2) : m_options(options), m_decimals(decimals) {}

    void setOptions(int options) { m_options = options; }
    int options() const { return m_options; }
    void setDecimals(int decimals) { m_decimals = decimals; }
    int decimals() const { return m_decimals; }
    // The most characters the number may have (the "%" not counted); 0: no
    // limit.
    void setMaxCharacters(int count) { m_maxCharacters = count; }
    int maxCharacters() const { return m_maxCharacters; }
    bool has(Option option) const { return (m_options & option) != 0; }

    // The text of x: "%X" in hexadecimal mode, the truncated whole number
    // with 0 decimals, else the decimals given without trailing zeros and
    // point (unless AllDecimals); "%" appended in percent mode.
    QString Format(double x) const;
    // The number a text stands for; the "%" characters are ignored, and an
    // empty or unreadable text is 0.
    double Parse(const QString &text) const;
    // Whether the text (its "%" characters ignored) is a whole number of the
    // field's kind, or empty; "12abc" is not.
    bool IsNumber(const QString &text) const;
    // The message that refuses the text of the field named fieldName at
    // Apply; empty when the text is a number.
    QString RefusalAtApply(const QString &text, const QString &fieldName) const;

    // One printable character typed into the field.
    Result Type(const State &state, QChar typed) const;
    // A text pasted or dropped at the caret: taken only when every one of
    // its characters would be taken typed there, one after the other (blanks
    // around it and, in percent mode, a trailing "%" set aside).
    Result Inserted(const State &state, const QString &text) const;
    // What a backspace (or delete) left: an empty, blank or zero text shows 0.
    State AfterErase(const State &state) const;
    // The caret and selection kept before the trailing "%".
    State Clamped(const State &state) const;
    // The text after replacing it by newText, the caret back at its former
    // character position.
    State Replaced(const State &state, const QString &newText) const;

private:
    int BodyLength(const QString &text) const;
    QString WithSuffix(const QString &body) const;

    int m_options;
    int m_decimals;
    int m_maxCharacters = 0;
};
