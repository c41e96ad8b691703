#include "monitor/runtime/hand_over.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "monitor/runtime/wake_signal.h"

namespace {

using namespace std::chrono_literals;

void Sleep1(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A sender on its own thread, as the window procedure runs on the window thread.
class Sender {
public:
    Sender(HandOver& hand, Message m)
        : thread_([&hand, m, this] {
              hand.Deliver(m);
              done_ = true;
          }) {}
    ~Sender() { thread_.join(); }
    bool Done() const { return done_.load(); }
    bool WaitDone(std::chrono::milliseconds limit) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done_.load() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        return done_.load();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

bool TakeWithin(HandOver& hand, Message& m, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!hand.Take(m)) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(HandOver, HeldUntilTakenAndReleased) {
    HandOver hand(Sleep1);
    hand.Reset();
    hand.Run();
    Message m;
    EXPECT_FALSE(hand.Take(m)); // nothing delivered yet

    Sender sender(hand, Message{0x42, 275, 1, -7});
    ASSERT_TRUE(TakeWithin(hand, m, 2s));
    EXPECT_EQ(m.Window, 0x42u);
    EXPECT_EQ(m.Msg, 275u);
    EXPECT_EQ(m.WParam, 1u);
    EXPECT_EQ(m.LParam, -7);

    // Taken but not released: the sender still waits, and the same message stays held.
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(sender.Done());
    Message again;
    EXPECT_TRUE(hand.Take(again));
    EXPECT_EQ(again.Msg, 275u);

    hand.Release();
    EXPECT_TRUE(sender.WaitDone(2s));
    EXPECT_FALSE(hand.Take(m)); // the slot is free again
    hand.Release();             // a second release changes nothing
    EXPECT_FALSE(hand.Take(m));
}

TEST(HandOver, SecondSenderWaitsForTheSlot) {
    HandOver hand(Sleep1);
    hand.Reset();
    hand.Run();
    Sender first(hand, Message{1, 1001, 0, 0});
    Message m;
    ASSERT_TRUE(TakeWithin(hand, m, 2s));
    ASSERT_EQ(m.Msg, 1001u);

    Sender second(hand, Message{1, 1002, 0, 0});
    std::this_thread::sleep_for(50ms);
    // The second message has not overwritten the held one, and neither sender went on.
    ASSERT_TRUE(hand.Take(m));
    EXPECT_EQ(m.Msg, 1001u);
    EXPECT_FALSE(first.Done());
    EXPECT_FALSE(second.Done());

    hand.Release();
    EXPECT_TRUE(first.WaitDone(2s));
    ASSERT_TRUE(TakeWithin(hand, m, 2s));
    EXPECT_EQ(m.Msg, 1002u);
    EXPECT_FALSE(second.Done());
    hand.Release();
    EXPECT_TRUE(second.WaitDone(2s));
}

TEST(HandOver, StopFreesTheHeldSenderAndLetsLaterOnesPass) {
    HandOver hand(Sleep1);
    hand.Reset();
    hand.Run();
    EXPECT_FALSE(hand.Stopping());
    {
        Sender held(hand, Message{1, 16, 0, 0});
        Message m;
        ASSERT_TRUE(TakeWithin(hand, m, 2s));
        hand.StopAll();
        EXPECT_TRUE(hand.Stopping());
        EXPECT_TRUE(held.WaitDone(2s));
    }
    // While stopping nothing is held and nothing can be taken or released.
    {
        Sender later(hand, Message{1, 17, 0, 0});
        EXPECT_TRUE(later.WaitDone(2s));
    }
    Message m;
    EXPECT_FALSE(hand.Take(m));
    hand.Release();
    EXPECT_FALSE(hand.Take(m));
}

TEST(HandOver, NothingIsTakenBeforeRunning) {
    HandOver hand(Sleep1);
    hand.Reset();
    EXPECT_TRUE(hand.Stopping());
    {
        // Messages of the window's creation pass straight through.
        Sender early(hand, Message{1, 1, 0, 0});
        EXPECT_TRUE(early.WaitDone(2s));
    }
    Message m;
    EXPECT_FALSE(hand.Take(m));

    hand.Run();
    Sender sender(hand, Message{1, 59, 0, 0});
    ASSERT_TRUE(TakeWithin(hand, m, 2s));
    EXPECT_EQ(m.Msg, 59u);
    hand.Release();
    EXPECT_TRUE(sender.WaitDone(2s));
}

// The wake-up stays set until a wait takes it: a signal given just before the waiter
// goes to sleep ends that sleep at once, and it is taken only once.
TEST(WakeSignal, ASignalGivenBeforeTheWaitIsNotLost) {
    const auto signal = MakeWakeSignal();
    signal->Set();
    signal->Set();
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(signal->Wait(5000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(signal->Wait(60)); // taken already
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);

    std::thread setter([&] {
        std::this_thread::sleep_for(50ms);
        signal->Set();
    });
    EXPECT_TRUE(signal->Wait(IWakeSignal::Forever));
    setter.join();
}

// An idle control loop sleeps in WaitForMessage. Every message handed over must wake it,
// whether it comes before, during or just after the loop's last look: a lost wake-up
// would leave the message waiting for the whole time-out.
TEST(HandOver, EveryMessageWakesTheSleepingLoop) {
    HandOver hand([](std::uint32_t) { std::this_thread::yield(); });
    hand.Reset();
    hand.Run();
    Message m;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(hand.WaitForMessage(60)); // nothing handed over: to the limit
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);

    constexpr int Count = 3000;
    std::thread window([&] {
        for (int i = 0; i < Count; ++i)
            hand.Deliver(Message{1, 1000u + static_cast<std::uint32_t>(i), 0, 0});
    });
    int taken = 0, timedOut = 0;
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (taken < Count && timedOut < 3 && std::chrono::steady_clock::now() < end) {
        if (hand.Take(m)) {
            EXPECT_EQ(m.Msg, 1000u + static_cast<std::uint32_t>(taken));
            ++taken;
            hand.Release();
            continue;
        }
        if (!hand.WaitForMessage(3000)) ++timedOut;
    }
    if (taken < Count) hand.StopAll(); // lets the window thread finish
    window.join();
    EXPECT_EQ(taken, Count);
    EXPECT_EQ(timedOut, 0);
}

} // namespace
