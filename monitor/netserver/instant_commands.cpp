#include "monitor/netserver/instant_commands.h"

#include "common/commands.h"
#include "common/numbers.h"
#include "monitor/netserver/request_words.h"

namespace {

// Switch-off arguments as the driver lays them out: two characters of delay (".2" is 12 s,
// "00" at once), a separator, four digits of minutes to wait before switching on again
// ("0000": stay off until told or until the mains come back).
const TInstantCommandDef Commands[] = {
    {"beeper.toggle", "Toggle the UPS beeper", CMD_BEEPTOGGLE, "", TCommandParameter::None},
    {"beeper.enable", "Enable the UPS beeper", CMD_BEEPON, "", TCommandParameter::None},
    {"beeper.disable", "Disable the UPS beeper", CMD_BEEPOFF, "", TCommandParameter::None},
    {"test.battery.start.quick", "Start a quick battery test (10 seconds)", CMD_TEST, "",
     TCommandParameter::None},
    {"test.battery.start.deep", "Start a deep battery test (until the battery is low)", CMD_TESTLOW,
     "", TCommandParameter::None},
    {"test.battery.start", "Start a battery test for the given minutes (1-99)", CMD_TESTMINUTES, "",
     TCommandParameter::Minutes},
    {"test.battery.stop", "Stop the battery test", CMD_CANCELTEST, "", TCommandParameter::None},
    {"shutdown.return", "Turn off the load in 12 seconds, on again a minute later",
     CMD_SHUTDOWNRESTORE, ".2 0001", TCommandParameter::None},
    {"shutdown.stayoff", "Turn off the load in 12 seconds and keep it off", CMD_SHUTDOWNRESTORE,
     ".2 0000", TCommandParameter::None},
    {"shutdown.stop", "Stop a shutdown in progress", CMD_CANCELSHUTDOWN, "",
     TCommandParameter::None},
    {"load.off", "Turn off the load immediately", CMD_SHUTDOWNRESTORE, "00 0000",
     TCommandParameter::None},
    {"load.on", "Turn on the load immediately", CMD_CANCELSHUTDOWN, "", TCommandParameter::None},
};

} // namespace

std::span<const TInstantCommandDef> InstantCommandTable() {
    return Commands;
}

const TInstantCommandDef* FindInstantCommand(std::string_view name) {
    for (const TInstantCommandDef& c : Commands)
        if (SameWord(c.Name, name)) return &c;
    return nullptr;
}

std::optional<std::string> CommandArgument(const TInstantCommandDef& command,
                                           const std::optional<std::string>& parameter) {
    if (command.Parameter == TCommandParameter::None) return std::string(command.Argument);
    if (!parameter) return std::nullopt;
    const std::optional<std::int32_t> minutes = ParseInteger(*parameter);
    if (!minutes || *minutes < 1 || *minutes > 99) return std::nullopt;
    return std::string(1, static_cast<char>('0' + *minutes / 10)) +
           static_cast<char>('0' + *minutes % 10);
}
