#pragma once

// Identifiers of the main window's controls: tests and the tools that drive the window
// from outside find controls by them. Each page has a range of its own.
enum TControlId : int {
    // The tab control.
    ID_TABS = 10,

    // "Состояние"
    ID_STATE_INPUT = 100, // the placeholders of the meters and gauges
    ID_STATE_OUTPUT,
    ID_STATE_BATTERY,
    ID_STATE_THERMO,
    ID_STATE_FREQUENCY,
    ID_STATE_LOAD,
    ID_STATE_CHARGE,
    ID_STATE_BATTERYTIME,
    ID_STATE_INDICATOR = 120, // + index of the indicator: mains, low, boost, buck, failure

    // "Дополнительно"
    ID_INFO_FIELD =
        200, // + index: maker, model, version, type, voltage, battery, frequency, current
    ID_INFO_LOWERLIMIT = 210,
    ID_INFO_INDICATOR = 220, // + index: "Выключение", "Тест", "Сигнал"
    ID_COMMANDS_FIRST = 250, // the custom command list and its buttons: 250-299

    ID_EVENTS_FIRST = 300,   // "События": 300-399
    ID_JOURNAL_FIRST = 400,  // "Протокол": 400-499
    ID_TERMINAL_FIRST = 500, // "Терминал": 500-599
    ID_SETTINGS_FIRST = 600, // "Настройка": 600-699
    ID_SETTINGS_INTERVAL = 600,
    ID_SETTINGS_FAILINTERVAL,
    ID_SETTINGS_STATINTERVAL,
    ID_SETTINGS_TIMEOUT,
    ID_SETTINGS_PORT,
    ID_SETTINGS_DTR,
    ID_SETTINGS_RTS,
    ID_SETTINGS_MINVOLTAGE,
    ID_SETTINGS_MAXVOLTAGE,
    ID_SETTINGS_CALIBRATE,
    ID_SETTINGS_ALTDETECTION,
    ID_SETTINGS_ALTDIFF,
    ID_SETTINGS_APPLY,
    ID_SETTINGS_AUTORUN,
    ID_SETTINGS_NETWORK,  // opens the network server window (its controls: network_ids.h)
    ID_ABOUT_FIRST = 700, // "О программе": 700-799
    ID_ABOUT_LINK = 700,
    ID_ABOUT_HELP = 701,
};
