#include "monitor/runtime/hand_over.h"

#include <atomic>
#include <thread>
#include <utility>

// The slot-free byte has two more values besides 0 (held) and 1 (free): 2 while a
// deliverer fills the slot, 3 once the control loop has released the message and
// before its deliverer has seen that. Only one window thread ever delivers, so in the
// product nobody waits on them, but they keep a second deliverer from overwriting a
// held message or taking the slot before the first one knows it was released.
namespace {

constexpr std::uint8_t SlotHeld = 0;
constexpr std::uint8_t SlotFree = 1;
constexpr std::uint8_t SlotFilling = 2;
constexpr std::uint8_t SlotReleased = 3;

// The slot's fields are written by the window thread and read (or cleared) by the
// control thread; the flags order them, the field accesses themselves must not race.
void StoreSlot(Message& slot, const Message& value) {
    std::atomic_ref(slot.Window).store(value.Window, std::memory_order_relaxed);
    std::atomic_ref(slot.Msg).store(value.Msg, std::memory_order_relaxed);
    std::atomic_ref(slot.WParam).store(value.WParam, std::memory_order_relaxed);
    std::atomic_ref(slot.LParam).store(value.LParam, std::memory_order_relaxed);
}

Message LoadSlot(Message& slot) {
    Message m;
    m.Window = std::atomic_ref(slot.Window).load(std::memory_order_relaxed);
    m.Msg = std::atomic_ref(slot.Msg).load(std::memory_order_relaxed);
    m.WParam = std::atomic_ref(slot.WParam).load(std::memory_order_relaxed);
    m.LParam = std::atomic_ref(slot.LParam).load(std::memory_order_relaxed);
    return m;
}

} // namespace

HandOver::HandOver(std::function<void(std::uint32_t)> sleep,
                   std::unique_ptr<IWakeSignal> handedOver)
    : sleep_(std::move(sleep)), handedOver_(std::move(handedOver)) {}

void HandOver::Reset() {
    StoreSlot(slot_, Message{});
    slotFree_ = SlotFree;
    stopping_ = 1;
}

void HandOver::Run() {
    // Free before running: the other order could let a message that arrives in between
    // be held and then freed again without the control loop ever seeing it.
    slotFree_ = SlotFree;
    stopping_ = 0;
}

void HandOver::StopAll() {
    StoreSlot(slot_, Message{});
    slotFree_ = SlotFree;
    stopping_ = 1;
    handedOver_->Set(); // a waiting control loop looks again
    std::this_thread::yield();
}

void HandOver::Deliver(const Message& message) {
    std::uint8_t expected = SlotFree;
    while (!slotFree_.compare_exchange_strong(expected, SlotFilling)) {
        if (stopping_.load()) return; // passes straight through
        expected = SlotFree;
        sleep_(1);
    }
    StoreSlot(slot_, message);
    // While running this makes the slot busy; while stopping it stays free.
    slotFree_ = stopping_.load();
    // The wake-up only once the slot is busy: a control loop woken before would find it
    // free and go back to sleep with the signal spent.
    if (slotFree_.load() == SlotHeld) handedOver_->Set();
    // Stopping also ends the wait: a stop that lands while the slot is being filled would
    // otherwise leave it busy with nobody left to free it.
    while (slotFree_.load() == SlotHeld && !stopping_.load())
        sleep_(1);
    expected = SlotReleased;
    slotFree_.compare_exchange_strong(expected, SlotFree);
}

bool HandOver::Take(Message& message) {
    if (slotFree_.load() != SlotHeld || stopping_.load()) return false;
    message = LoadSlot(slot_);
    return true;
}

bool HandOver::WaitForMessage(std::uint32_t timeoutMs) {
    if (slotFree_.load() == SlotHeld && !stopping_.load()) return true;
    return handedOver_->Wait(timeoutMs);
}

void HandOver::Release() {
    if (stopping_.load() || slotFree_.load() != SlotHeld) return;
    slotFree_ = SlotReleased;
    std::this_thread::yield();
}
