#include "monitor/netserver/net_exchange.h"

void TNetExchange::Publish(const TNetSnapshot& snapshot) {
    const std::lock_guard<std::mutex> lock(snapshotMutex_);
    snapshot_ = snapshot;
}

TNetSnapshot TNetExchange::Snapshot() const {
    const std::lock_guard<std::mutex> lock(snapshotMutex_);
    return snapshot_;
}

bool TNetExchange::Submit(const TNetEvent& event) {
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(queueMutex_);
        if (queue_.size() >= QueueCapacity) return false;
        queue_.push_back(event);
        wake = !wakePending_;
        wakePending_ = true;
    }
    // Outside the lock: the wake posts a window message.
    if (wake && wake_) wake_();
    return true;
}

bool TNetExchange::TakeEvent(TNetEvent& event) {
    const std::lock_guard<std::mutex> lock(queueMutex_);
    if (queue_.empty()) {
        wakePending_ = false;
        return false;
    }
    event = std::move(queue_.front());
    queue_.pop_front();
    return true;
}
