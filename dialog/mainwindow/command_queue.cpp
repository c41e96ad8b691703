#include "dialog/mainwindow/command_queue.h"

TSubmitResult TCommandQueue::Submit(const TQueuedCommand& command) {
    if (!busy_) {
        busy_ = true;
        return TSubmitResult::SendNow;
    }
    if (pending_.size() >= MaxPending) return TSubmitResult::Refused;
    pending_.push_back(command);
    return TSubmitResult::Queued;
}

std::optional<TQueuedCommand> TCommandQueue::Answered() {
    if (pending_.empty()) {
        // Also an answer to a command of someone else's: nothing of ours waits then.
        busy_ = false;
        return std::nullopt;
    }
    TQueuedCommand next = std::move(pending_.front());
    pending_.pop_front();
    busy_ = true;
    return next;
}
