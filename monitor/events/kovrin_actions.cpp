#include <algorithm>
#include <cstring>
#include <vector>

#include "common/events.h"
#include "common/numbers.h"
#include "monitor/events/actions.h"
#include "monitor/events/expressions.h"
#include "monitor/runtime/kovrin.h"

namespace {

// Power actions as system calls: the flags of the exit call, or hibernation first with
// the forced power-off when it fails.
struct PowerAction {
    std::uint8_t Code;
    bool Hibernate;
    bool FallBackToPowerOff;
    std::uint32_t ExitFlags;
};

constexpr PowerAction PowerActions[] = {
    {ACT_POWEROFF, false, false, EXIT_POWEROFF},
    {ACT_FORCEPOWEROFF, false, false, EXIT_POWEROFF | EXIT_FORCE},
    {ACT_SHUTDOWN, false, false, EXIT_SHUTDOWN},
    {ACT_FORCESHUTDOWN, false, false, EXIT_SHUTDOWN | EXIT_FORCE},
    {ACT_HIBERNATE, true, false, 0},
    {ACT_HIBERNATEORPOWEROFF, true, true, EXIT_POWEROFF | EXIT_FORCE},
};

const PowerAction* FindPowerAction(std::uint8_t code) {
    for (const PowerAction& a : PowerActions)
        if (a.Code == code) return &a;
    return nullptr;
}

// The records are copied before anything runs: an action waits on the UPS, and nothing
// that happens meanwhile may pull the list from under the walk.
template <typename T> std::vector<T> CopyWithId(const RecordList<T>& list, std::int32_t id) {
    std::vector<T> out;
    for (const T& item : list)
        if (item.Id == id) out.push_back(item);
    return out;
}

} // namespace

// A file that cannot be read to its end leaves the rules read so far; the monitor goes on.
void TKovrin::LoadEventRules() {
    rules_.Load(platform_.Files, eventsPath_);
}

void TKovrin::FreeEventRules() {
    rules_.Clear();
}

void TKovrin::LoadCustomCommands() {
    commands_.Load(platform_.Files, commandsPath_);
}

void TKovrin::FreeCustomCommands() {
    commands_.Clear();
}

void TKovrin::RunAction(const TEventRule& rule) {
    const std::uint8_t action = rule.Action;
    const std::string text = SubstituteMacros(rule.Parameter.View(), status_, platform_.Clock);

    if (const PowerAction* power = FindPowerAction(action)) {
        // The computers on the network that share this UPS go down first.
        WarnNetClients();
        if (power->Hibernate) {
            // Back from hibernation, or it failed: this computer runs on.
            const bool hibernated = platform_.Power.Hibernate();
            if (hibernated || !power->FallBackToPowerOff) return NetComputerRunsOn();
        }
        if (!platform_.Power.ExitWindowsWithPrivilege(power->ExitFlags)) NetComputerRunsOn();
        return;
    }

    switch (action) {
    case ACT_SCREENMESSAGE:
        ShowMessageAsync(window_, text, "Внимание!", MBX_SYSTEMMODAL | MBX_ICONEXCLAMATION, -1);
        break;
    case ACT_RUNPROGRAM: {
        const CommandLine line = SplitCommandLine(text);
        platform_.Power.ShellOpen(line.Program, line.Arguments);
        break;
    }
    case ACT_UPSCOMMAND: {
        // The identifier is the stored text: macros have no say in which command runs.
        const std::int32_t id = ParseIntegerOr(rule.Parameter.View(), -1);
        for (const TCustomCommand& command : CopyWithId(commands_, id))
            SendCustomCommand(command);
        break;
    }
    case ACT_JOURNALMESSAGE:
        WriteJournal(text, JK_USER);
        break;
    default:
        break;
    }
}

void TKovrin::RunRulesById(std::uint16_t id) {
    for (const TEventRule& rule : CopyWithId(rules_, id))
        RunAction(rule);
}

void TKovrin::SendCustomCommand(const TCustomCommand& command) {
    if (!opened_) return;
    char argument[256] = {};
    const std::string_view parameter = command.Parameter.View();
    std::memcpy(argument, parameter.data(), std::min(parameter.size(), sizeof argument - 1));
    char answer[256] = {};
    ExecuteCommand(command.Code, argument, answer, sizeof answer);
}
