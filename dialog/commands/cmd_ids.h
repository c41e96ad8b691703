#pragma once

// Identifiers of the command editor's controls, for tests and the tools that drive it.
enum : int {
    ID_CMD_DESCRIPTION = 1000,
    ID_CMD_KIND = 1001,
    ID_CMD_NO_PARAMETERS = 1010, // + page number: "Нет дополнительных параметров"
    ID_CMD_MINUTES = 1030,       // page 2
    ID_CMD_DELAY = 1031,         // page 4
    ID_CMD_RESTORE_DELAY = 1032, // page 5
    ID_CMD_SWITCH_ON = 1033,     // page 5
    ID_CMD_TEXT = 1034,          // page 8
    ID_CMD_OK = 1098,
    ID_CMD_CANCEL = 1099,
};
