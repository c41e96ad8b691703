#pragma once
#include "dialog/mainwindow/control_ids.h"

// The custom command list on the "Дополнительно" page and its buttons.
enum : int {
    ID_COMMANDS_LIST = ID_COMMANDS_FIRST,
    ID_COMMANDS_EXECUTE,
    ID_COMMANDS_NEW,
    ID_COMMANDS_DELETE,
    ID_COMMANDS_EDIT,
};
