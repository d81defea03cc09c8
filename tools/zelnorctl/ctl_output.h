#pragma once

#include "console.h"

#include <functional>

// Exit codes of every command.
enum ExitCode : int { ExitOk = 0, ExitRefused = 1, ExitUnusable = 2 };

// Messages are printed; questions are answered as the command's options
// say (No unless the command allows Yes).
void InstallConsolePresenters();
void AnswerQuestionsYes(bool yes);
// The option of the running command that answers its questions Yes; a No
// given for lack of it says so.
void SetYesOption(const QString &option);
// Runs a command body; a data error that escapes it is shown and refuses.
int Guarded(const std::function<int()> &body);
