#include <chrono>
#include <condition_variable>
#include <mutex>

#include "monitor/runtime/wake_signal.h"

namespace {

class PosixWakeSignal final : public IWakeSignal {
public:
    void Set() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            set_ = true;
        }
        changed_.notify_one();
    }
    bool Wait(std::uint32_t timeoutMs) override {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto isSet = [this] { return set_; };
        if (timeoutMs == Forever)
            changed_.wait(lock, isSet);
        else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet))
            return false;
        set_ = false;
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

} // namespace

std::unique_ptr<IWakeSignal> MakeWakeSignal() {
    return std::make_unique<PosixWakeSignal>();
}
