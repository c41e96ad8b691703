#pragma once

// The event editor's controls.
enum TEventFormId : int {
    ID_EVENT_SOURCE = 1100,
    ID_EVENT_ACTION,
    ID_EVENT_VARIABLE,
    ID_EVENT_OPERATOR,
    ID_EVENT_NUMBER,
    ID_EVENT_MESSAGE,
    ID_EVENT_COMMANDLINE,
    ID_EVENT_BROWSE,
    ID_EVENT_UPSCOMMAND,
    ID_EVENT_JOURNALTEXT,
    ID_EVENT_OK,
    ID_EVENT_CANCEL,
    ID_EVENT_SOURCELABEL,
    ID_EVENT_ACTIONLABEL,
    ID_EVENT_SOURCENONE, // "Нет параметров" of the sources without parameters
    ID_EVENT_ACTIONNONE, // and of the actions
    ID_EVENT_PARAMLABEL, // + action code: the label of an action's field (6-9)
};
