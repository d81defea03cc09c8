#include "base/command_prompt.h"

#include "base/string_table.h"

QString CommandPrompt(int commandId)
{
    const StringTable &table = StringTable::instance();
    return table.contains(commandId) ? table.text(commandId).section(QLatin1Char('\n'), 0, 0) : QString();
}
