#pragma once

#include <QStringList>

// The program: its start in the fixed order, the main window, and the
// saving of everything at exit. Answers the exit code.
int RunZelnorWizard(int argc, char **argv);
