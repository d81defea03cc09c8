#pragma once

#include "console.h"

#include "db/output_file.h"

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
// A file named on the command line: standard output for "-", else the
// path from the working folder, replaced only with --force, never the
// project the command works on.
OutputFile::Target CommandTarget(const QString &path, OutputFile::Content content, bool force,
                                 const QString &project);
// Prints why the target is refused and answers ExitRefused, or nothing when
// it may be written.
std::optional<int> RefuseTarget(const OutputFile::Target &target);
// The same before the content is known: only what no content could make
// writable (a project, a pipe, a folder); whether an existing file may be
// replaced is decided when it is written.
std::optional<int> RefuseEarly(OutputFile::Target target);
// Writes through the output service; a refusal gives ExitRefused, a failure
// ExitUnusable, each printed.
int WriteTarget(const OutputFile::Target &target, const std::function<QString()> &write);
// Runs a command body; a data error that escapes it is shown and refuses.
int Guarded(const std::function<int()> &body);
