#pragma once
#include "dialog/mainwindow/control_ids.h"

// "Терминал": the rich text field.
enum : int {
    ID_TERMINAL_TEXT = ID_TERMINAL_FIRST,
};
