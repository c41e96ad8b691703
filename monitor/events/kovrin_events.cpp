#include <cstring>
#include <string>

#include "common/clock.h"
#include "common/commands.h"
#include "common/events.h"
#include "common/files.h"
#include "common/messages.h"
#include "monitor/events/evaluation.h"
#include "monitor/events/expressions.h"
#include "monitor/events/journal.h"
#include "monitor/runtime/kovrin.h"
#include "monitor/runtime/tray_logic.h"

namespace {

const char* const TextWrongLimits =
    "Неверно указаны напряжения батареи, вероятно процент заряда не точен.";
const char* const TextDefaultLimits = "Напряжения батареи не уточнены, загружены умолчания.";

} // namespace

void TKovrin::WriteJournal(std::string_view text, std::uint8_t kind) {
    const TJournalRecord record = MakeJournalRecord(kind, platform_.Clock.Now(), PortName(), text);
    SendToDialog(TD_JOURNAL, &record);
    // A journal that cannot be written (disk full, file locked) costs this entry only:
    // the monitor must go on watching the UPS, and the next entry tries again.
    if (!AppendJournalRecord(platform_.Files, journalPath_, record))
        WriteDeviceLog("!?Journal write error (" + std::to_string(platform_.Files.LastError()) +
                       ")\r");
}

void TKovrin::OpenStatFile() {
    stats_.Open(statsPath_);
}

void TKovrin::WriteStatRecord() {
    stats_.Write(platform_.Clock.Now(), status_);
}

void TKovrin::CloseStatFile() {
    stats_.Close();
}

bool TKovrin::EvaluateStatus() {
    if (!opened_) return false;
    std::memcpy(&previous_, &status_, sizeof status_);
    if (!ExecuteCommand(CMD_STATUS, nullptr, &status_, sizeof status_)) {
        // Whatever a failed answer left behind, the last good status stays.
        std::memcpy(&status_, &previous_, sizeof status_);
        return false;
    }

    const float battery = status_.BatteryVoltage;
    status_.BatteryCharge = ComputeCharge(battery, minBattVoltage_, maxBattVoltage_);
    UpdateBatteryTime(status_, platform_.Clock.Now());
    transitions_ = ComputeTransitions(previous_.Flags, status_.Flags);

    if (std::memcmp(&previous_, &status_, sizeof status_) != 0) {
        const std::uint8_t charge = status_.BatteryCharge;
        const std::uint16_t flags = status_.Flags;
        UpdateTrayIcon(TrayIconName(charge, flags).c_str(), TrayTipText(charge, flags).c_str());
        SendToDialog(TD_STATUS, &status_);
    }

    // Every entry is journalled before any action runs: an action may end the program.
    for (int i = 0; i < TransitionCount; ++i)
        if (transitions_[i]) WriteJournal(TransitionTable[i].Text, TransitionTable[i].Kind);

    if (suspended_) return true;
    for (std::size_t i = 0; i < rules_.Size(); ++i) {
        // A copy: the action gets a record that nothing can change under it.
        const TEventRule rule = rules_[i];
        if (rule.Source < TransitionCount) {
            if (transitions_[rule.Source]) RunAction(rule);
        } else if (rule.Source == EV_EXPRESSION) {
            const std::string text =
                SubstituteMacros(rule.Expression.View(), status_, platform_.Clock);
            if (EvaluateExpression(text, previous_, status_)) RunAction(rule);
        }
    }
    return true;
}

void TKovrin::RaiseEvent(std::uint8_t source) {
    for (std::size_t i = 0; i < rules_.Size(); ++i) {
        const TEventRule rule = rules_[i];
        if (rule.Source == source) RunAction(rule);
    }
}

void TKovrin::CheckBatteryLimits() {
    const float rated = rating_.BatteryVoltage;
    if (!(rated > 0)) return; // no rating, or the UPS sent none that could be read
    if (minBattVoltage_ > 0 || maxBattVoltage_ > 0) {
        if (minBattVoltage_ > rated || maxBattVoltage_ < rated)
            WriteJournal(TextWrongLimits, JK_WARNING);
        return;
    }
    // Kept in memory only; the settings file stays as the user wrote it.
    DefaultBatteryLimits(rated, minBattVoltage_, maxBattVoltage_);
    WriteJournal(TextDefaultLimits, JK_WARNING);
}
