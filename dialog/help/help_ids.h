#pragma once

// Identifiers of the help viewer's controls (1400-1499), for tests and tools.
enum THelpControlId : int {
    ID_HELP_BACK = 1400,
    ID_HELP_FORWARD,
    ID_HELP_CONTENTS,
    ID_HELP_HOME,
    ID_HELP_STOP,
    ID_HELP_ADDRESS = 1410,
    ID_HELP_GO,
    ID_HELP_BROWSER = 1420,
    ID_HELP_TOOLBAR = 1430,
};
