#pragma once

#include <QString>

// The tools answer the program's file dialogs with the name given on the
// command line. A save dialog asks before it replaces a file; the tools
// answer that question No unless replacing was asked for.
void AnswerFileDialogsWith(const QString &path, bool replaceExisting);

// The help text of the option that allows replacing.
QString ForceOptionText();
