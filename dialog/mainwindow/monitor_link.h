#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "dialog/mainwindow/terminal_rules.h"

// Where the link's requests go: the monitor's hidden window, which takes only posts.
class IMonitorChannel {
public:
    virtual ~IMonitorChannel() = default;
    // False until the user-interface thread has told the window which monitor it serves.
    virtual bool Known() const = 0;
    virtual void Post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// The wait window, shown with the main window disabled while a command waits for its answer.
class IWaitIndicator {
public:
    virtual ~IWaitIndicator() = default;
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
};

// Where commands and their answers show: the terminal.
class ICommandOutput {
public:
    virtual ~ICommandOutput() = default;
    virtual void Echo(std::string_view text) = 0;
    virtual void ShowAnswer(const TAnswerLine& line) = 0;
};

// One command for the UPS, as the window's parts ask for it.
struct TCommandRequest {
    std::uint8_t Code = 0;
    std::string Text{};     // the argument, at most 255 characters reach the monitor
    bool WithText = true;   // false: the monitor gets no argument at all (lParam 0)
    bool Echo = false;      // the text shown in the terminal as it goes out
    bool Wait = false;      // the window waits for the answer
    bool ShowAnswer = true; // the answer lands in the terminal
};

// The window's one link to the monitor. Everything the window asks of the monitor goes
// through here as a posted message; nothing else posts to it.
//
// Commands: UM_RUNCOMMAND carries the address of the one command text buffer, which the
// monitor reads when it gets round to the message and which must stay as it is until the
// answer comes (TD_ANSWER or TD_NOANSWER). So one command is in flight at a time; the
// others wait here in order and go out with the answer before them. A wait begins when a
// waiting command is handed in and ends only when the last waiting command is answered: an
// answer to nobody's command (or to one that did not wait) ends no wait.
class TMonitorLink {
public:
    static constexpr std::size_t CommandBufferSize = 256;
    static constexpr std::size_t MaxPending = 50;

    TMonitorLink(IMonitorChannel& channel, IWaitIndicator& wait);
    TMonitorLink(const TMonitorLink&) = delete;
    TMonitorLink& operator=(const TMonitorLink&) = delete;

    void SetOutput(ICommandOutput* output) { output_ = output; }
    bool Known() const { return channel_.Known(); }

    // The window is shown (its handle goes with it) or asks to be closed.
    void AnnounceWindow(std::uintptr_t window);
    void AskToClose();
    // Reload what a file change touched: APPLY_ALL, APPLY_EVENTS or APPLY_COMMANDS.
    void ApplySettings(std::uint8_t what);
    void TestEvent(std::uint16_t ruleId);
    void Suspend(bool suspend);

    // Hands a command to the monitor, followed by a refresh so that the status shows its
    // effect at once; or keeps it until the commands before it are answered. False when
    // the monitor is unknown or too many wait.
    bool RunCommand(const TCommandRequest& request);
    // The monitor's answer to the command in flight: its text (TD_ANSWER), or none
    // (TD_NOANSWER).
    void OnAnswer(std::optional<std::string_view> answer);

    bool Waiting() const { return waits_ > 0; }
    bool CommandInFlight() const { return inFlight_.has_value(); }
    std::size_t Pending() const { return pending_.size(); }
    const char* CommandText() const { return buffer_.data(); }

private:
    void Send(const TCommandRequest& request);
    void Show(const TAnswerLine& line);

    IMonitorChannel& channel_;
    IWaitIndicator& wait_;
    ICommandOutput* output_ = nullptr;
    std::array<char, CommandBufferSize> buffer_{};
    std::optional<TCommandRequest> inFlight_;
    std::deque<TCommandRequest> pending_;
    int waits_ = 0; // waiting commands in flight or pending
};
