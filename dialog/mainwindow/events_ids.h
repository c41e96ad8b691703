#pragma once
#include "dialog/mainwindow/control_ids.h"

// The "События" page's controls.
enum TEventsId : int {
    ID_EVENTS_LIST = ID_EVENTS_FIRST,
    ID_EVENTS_TEST,
    ID_EVENTS_UP,
    ID_EVENTS_DOWN,
    ID_EVENTS_NEW,
    ID_EVENTS_DELETE,
    ID_EVENTS_EDIT,
};
