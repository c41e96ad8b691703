#include "common/commands.h"
#include "monitor/link/link_texts.h"
#include "monitor/runtime/kovrin.h"

bool TKovrin::ExecuteCommand(std::uint8_t number, const char* argument, void* output,
                             std::size_t outputSize) {
    // The protocol only toggles the beeper; on/off requests are resolved against the
    // state the last status reported, and need nothing sent when it already holds.
    const std::uint16_t flags = status_.Flags;
    const bool beeperOn = (flags & UPS_BEEPER) != 0;
    if (number == CMD_BEEPON) {
        if (beeperOn) return true;
        return PerformCommand(CMD_BEEPTOGGLE, argument, output, outputSize);
    }
    if (number == CMD_BEEPOFF) {
        if (!beeperOn) return true;
        return PerformCommand(CMD_BEEPTOGGLE, argument, output, outputSize);
    }
    return PerformCommand(number, argument, output, outputSize);
}

bool TKovrin::Identify(TUpsRating& rating, TUpsInfo& info) {
    if (!opened_) return false;
    if (!ExecuteCommand(CMD_RATING, nullptr, &rating, sizeof rating)) return false;
    return ExecuteCommand(CMD_INFO, nullptr, &info, sizeof info);
}

void TKovrin::BeginDeviceLog() {
    deviceLog_.Begin(devLogPath_);
}

void TKovrin::EndDeviceLog() {
    deviceLog_.End();
}

void TKovrin::WriteDeviceLog(std::string_view text) {
    deviceLog_.Write(text);
}

void TKovrin::SetDevLog(const std::string& value) {
    if (opened_) {
        platform_.Desktop.MessageBox(window_, LinkTexts::ChangeWhileOpened,
                                     LinkTexts::InvalidOperation, MBX_OK);
        return;
    }
    std::string_view v = value;
    while (!v.empty() && static_cast<unsigned char>(v.front()) <= ' ')
        v.remove_prefix(1);
    while (!v.empty() && static_cast<unsigned char>(v.back()) <= ' ')
        v.remove_suffix(1);
    if (v.empty())
        devLogPath_.clear();
    else if (v.find('\\') != std::string_view::npos)
        devLogPath_ = std::string(v);
    else
        devLogPath_ = platform_.ProgramDir + std::string(v);
}
