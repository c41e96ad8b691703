#pragma once
#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

#include "monitor/netserver/net_events.h"
#include "monitor/netserver/snapshot.h"

// Everything the control loop and the server's thread share, and nothing else:
//   - the snapshot, which the control loop publishes after each poll and the server copies
//     for each request; a mutex is held only for copying it (about 100 bytes), so a poll
//     never waits for the network;
//   - the forced-shutdown flag and the number of logged-in clients (atomics);
//   - a bounded queue of events from the server, which the control loop drains when the
//     wake call (a message posted to its hidden window) tells it to. The wake call is
//     made once when the queue stops being empty, so a busy server cannot flood the
//     window's message queue.
class TNetExchange final : public INetEventSink {
public:
    static constexpr std::size_t QueueCapacity = 64;

    // Set before the server starts; called on the server's thread.
    void SetWake(std::function<void()> wake) { wake_ = std::move(wake); }

    // The control loop's side.
    void Publish(const TNetSnapshot& snapshot);
    bool TakeEvent(TNetEvent& event);
    void SetForcedShutdown(bool on) { forcedShutdown_ = on; }
    int Logins() const { return logins_.load(); }

    // The server's side.
    TNetSnapshot Snapshot() const;
    bool ForcedShutdown() const { return forcedShutdown_.load(); }
    void SetLogins(int count) { logins_ = count; }
    bool Submit(const TNetEvent& event) override;

private:
    mutable std::mutex snapshotMutex_;
    TNetSnapshot snapshot_;
    std::atomic<bool> forcedShutdown_{false};
    std::atomic<int> logins_{0};
    std::mutex queueMutex_;
    std::deque<TNetEvent> queue_;
    bool wakePending_ = false;
    std::function<void()> wake_;
};
