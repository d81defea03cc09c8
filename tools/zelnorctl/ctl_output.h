#pragma once

#include <QTextStream>

// Results go to standard output, messages and refusals to standard error.
QTextStream &Out();
QTextStream &Err();

// Exit codes of every command.
enum ExitCode : int { ExitOk = 0, ExitRefused = 1, ExitUnusable = 2 };

// Messages are printed; questions are answered as the command's options
// say (No unless the command allows Yes).
void InstallConsolePresenters();
void AnswerQuestionsYes(bool yes);
