#include "tree/list_view_modes.h"

#include "base/command_ids.h"

namespace ListViewModes {

int ModeOfCommand(int id)
{
    switch (id) {
    case CommandId::LargeIcons:
        return 0;
    case CommandId::Details:
        return 1;
    case CommandId::SmallIcons:
        return 2;
    case CommandId::List:
        return 3;
    default:
        return -1;
    }
}

int CommandOfMode(int mode)
{
    switch (mode) {
    case 0:
        return CommandId::LargeIcons;
    case 2:
        return CommandId::SmallIcons;
    case 3:
        return CommandId::List;
    default:
        return CommandId::Details;
    }
}

} // namespace ListViewModes
