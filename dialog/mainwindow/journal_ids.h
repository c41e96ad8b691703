#pragma once
#include "dialog/mainwindow/control_ids.h"

// The "Протокол" page's controls.
enum TJournalId : int {
    ID_JOURNAL_LIST = ID_JOURNAL_FIRST,
    ID_JOURNAL_FILTER,
    ID_JOURNAL_CLEAR,
    ID_JOURNAL_DIAGRAM,
    ID_JOURNAL_FILTERLABEL,
};
