#pragma once
#include <cstdint>

// Window messages between the monitor's hidden window, the system and the dialog library.
// The system's own WM_ numbers are named SYS_ here so that this header mixes with <windows.h>.
enum : std::uint32_t {
    SYS_CLOSE = 16,
    SYS_QUERYENDSESSION = 17,
    SYS_ENDSESSION = 22,
    UM_QUIT = 59,
    SYS_COMMAND = 273,
    SYS_TIMER = 275,

    UM_TRAYICON = 1024,
    UM_APPLYSETTINGS = 1025,
    UM_DIALOGREADY = 1026,
    UM_DIALOGCLOSED = 1027,
    UM_TODIALOG = 1028,
    UM_FINALCLOSE = 1029,
    UM_CLOSEWINDOW = 1030,
    UM_SUSPEND = 1031,
    UM_RUNCOMMAND = 1032,
    UM_TESTEVENT = 1033,
    UM_REFRESH = 1034,
    UM_STOPTHREAD = 1037,
    UM_MESSAGEBOXDONE = 1038,
    UM_NETEVENT = 1039,   // the network UPS server has queued logins, logouts or commands
    UM_READDICON = 49221, // the system's "taskbar created" notice: add the tray icon again
};

// wParam of UM_TODIALOG.
enum : std::uint8_t {
    TD_STATUS = 0,
    TD_INFO = 1,
    TD_RATING = 2,
    TD_ANSWER = 3,
    TD_NOANSWER = 4,
    TD_JOURNAL = 5,
    TD_LINKSTATE = 6,
};

// lParam of TD_LINKSTATE.
enum : std::int32_t {
    LINK_UP = 0,
    LINK_NOANSWER = 1,
    LINK_NOPORT = 2,
};

// wParam of UM_APPLYSETTINGS.
enum : std::uint8_t {
    APPLY_ALL = 0,
    APPLY_EVENTS = 1,
    APPLY_COMMANDS = 2,
};

// Mouse messages in lParam of UM_TRAYICON, and the tray menu items.
enum : std::uint32_t {
    TRAY_LBUTTONDOWN = 513,
    TRAY_RBUTTONDOWN = 516,
};
enum : std::uint16_t {
    MENU_OPENDIALOG = 1,
    MENU_CLOSEDIALOG = 2,
    MENU_EXIT = 9,
};

// Timer 1 on the hidden window drives the polls.
inline constexpr std::uint32_t PollTimerId = 1;
