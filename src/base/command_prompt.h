#pragma once

#include <QString>

// What the status bar shows while a command's menu entry or button is
// highlighted: the first line of the text under the command's number in the
// active pack (the second line is its tooltip); empty for a command without
// one.
QString CommandPrompt(int commandId);
