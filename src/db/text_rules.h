#pragma once

#include <QString>

// What a text typed or read from a module may hold before it is stored,
// and how a stored text is shown where raw control characters would do
// harm (a terminal, a file name).
namespace TextRules {

// Characters as a user counts them: a letter outside the basic plane
// (an emoji, a rare ideograph) is one, not two UTF-16 units.
qsizetype CharacterCount(const QString &text);

// A C0 control (also TAB, CR and LF), DEL or a C1 control.
bool IsControlCharacter(char32_t c);
// Whether the text holds a control character; a multi-line text (a memo)
// may hold line breaks and tabs.
bool HasControlCharacter(const QString &text, bool lineBreaksAllowed = false);

// A name of an item: no path separator and no control character. Empty is
// judged by the caller, since an empty label edit keeps the old name.
bool IsValidName(const QString &name);

// The text with every control character written as an escape ("\n", "\t",
// "\x1b"), so that printing it cannot move the cursor, clear a screen or
// split a line. Backslashes stay as they are: item paths are made of them.
QString EscapeControls(const QString &text);

} // namespace TextRules
