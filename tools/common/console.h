#pragma once

#include <QTextStream>

// The command-line tools print results on standard output and messages on
// standard error.
QTextStream &Out();
QTextStream &Err();
