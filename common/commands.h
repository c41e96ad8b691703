#pragma once
#include <cstdint>
#include <string_view>

// Command numbers of the protocol driver. They travel in UM_RUNCOMMAND and are
// stored in the custom command file and referred to by event rules.
enum : std::uint8_t {
    CMD_STATUS = 0,
    CMD_TEST = 1,
    CMD_TESTLOW = 2,
    CMD_TESTMINUTES = 3,
    CMD_BEEPTOGGLE = 4,
    CMD_SHUTDOWN = 5,
    CMD_SHUTDOWNRESTORE = 6,
    CMD_CANCELSHUTDOWN = 7,
    CMD_CANCELTEST = 8,
    CMD_INFO = 9,
    CMD_RATING = 10,
    CMD_CUSTOM = 11,
    CMD_BEEPON = 12,
    CMD_BEEPOFF = 13,
};
inline constexpr int CommandCount = 14;

// How a command is sent and what it gives back.
enum class CommandAnswer : std::uint8_t { None, Status, Info, Rating, Line };

struct CommandDef {
    std::string_view Name;
    std::string_view Text; // fixed command text without CR; empty where it is built from the argument
    bool NeedsArgument;
    CommandAnswer Answer;
};

// Indexed by command number. The beeper on/off requests are resolved to CMD_BEEPTOGGLE
// before they reach the driver, so the driver never sends them itself.
inline constexpr CommandDef CommandTable[CommandCount] = {
    {"CMD_STATUS", "Q1", false, CommandAnswer::Status},
    {"CMD_TEST", "T", false, CommandAnswer::None},
    {"CMD_TESTLOW", "TL", false, CommandAnswer::None},
    {"CMD_TESTMINUTES", "", true, CommandAnswer::None},
    {"CMD_BEEPTOGGLE", "Q", false, CommandAnswer::None},
    {"CMD_SHUTDOWN", "", true, CommandAnswer::None},
    {"CMD_SHUTDOWNRESTORE", "", true, CommandAnswer::None},
    {"CMD_CANCELSHUTDOWN", "C", false, CommandAnswer::None},
    {"CMD_CANCELTEST", "CT", false, CommandAnswer::None},
    {"CMD_INFO", "I", false, CommandAnswer::Info},
    {"CMD_RATING", "F", false, CommandAnswer::Rating},
    {"CMD_CUSTOM", "", true, CommandAnswer::Line},
    {"CMD_BEEPON", "", false, CommandAnswer::None},
    {"CMD_BEEPOFF", "", false, CommandAnswer::None},
};

// The switch-off delays a UPS accepts: tenths of a minute below one minute, then whole minutes.
inline constexpr std::string_view ShutdownDelayCodes[] = {".2", ".3", ".4", ".5", ".6", ".7",
                                                          ".8", ".9", "01", "02", "03", "04",
                                                          "05", "06", "07", "08", "09", "10"};
