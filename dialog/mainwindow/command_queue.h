#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

// The commands the window hands to the monitor, one at a time. UM_RUNCOMMAND carries the
// address of the window's one command text buffer, which the monitor reads when it gets
// round to the message and which must stay as it is until the answer arrives; a second
// command written into it before then would send the first command with the second one's
// text. So a command waits here while another is unanswered, and goes out with the answer.
struct TQueuedCommand {
    std::uint8_t Code = 0;
    std::string Text;
    bool Echo = false; // shown in the terminal as it goes out
    bool Wait = false; // the wait window while it waits for its answer
};

enum class TSubmitResult {
    SendNow, // nothing is unanswered: send it now; it is the one awaited
    Queued,  // goes out after the answers before it
    Refused, // the queue is full
};

class TCommandQueue {
public:
    static constexpr std::size_t MaxPending = 50;

    TSubmitResult Submit(const TQueuedCommand& command);
    // An answer came (TD_ANSWER or TD_NOANSWER): the next command to send, if any.
    std::optional<TQueuedCommand> Answered();
    bool Busy() const { return busy_; }
    std::size_t Pending() const { return pending_.size(); }

private:
    bool busy_ = false;
    std::deque<TQueuedCommand> pending_;
};
