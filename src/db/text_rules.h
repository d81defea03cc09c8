#pragma once

#include <QString>

// What a text typed or read from a module may hold before it is stored,
// and how a stored text is shown where raw control characters would do
// harm (a terminal, a file name).
namespace TextRules {

// Characters as a user counts them: a letter outside the basic plane
// (an emoji, a rare ideograph) is one, not two UTF-16 units.
qsizetype CharacterCount(const QString &text);

// The first count characters (as CharacterCount counts them), so that a
// text is never cut between the two halves of a letter.
QString LeftCharacters(const QString &text, qsizetype count);

// A mark or embedding that reverses the direction in which the text after
// it is shown (U+200E/F, U+202A-U+202E, U+2066-U+2069): a name holding one
// reads differently on a terminal or in a report from what is stored.
bool IsBidiControl(char32_t c);
// A C0 control (also TAB, CR and LF), DEL, a C1 control or a direction
// control.
bool IsControlCharacter(char32_t c);
// Whether the text holds a control character; a multi-line text (a memo)
// may hold line breaks and tabs.
bool HasControlCharacter(const QString &text, bool lineBreaksAllowed = false);

// A name of an item: no path separator and no control character. Empty is
// judged by the caller, since an empty label edit keeps the old name.
bool IsValidName(const QString &name);

// The text with every control character written as an escape ("\n", "\t",
// "\x1b", "\u202e"), so that printing it cannot move the cursor, clear a screen or
// split a line. Backslashes stay as they are: item paths are made of them.
QString EscapeControls(const QString &text);

} // namespace TextRules
