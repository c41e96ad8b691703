#include "dialog/module/bounded_wait.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

namespace {
struct TTickClock {
    // A sleep of 1 ms lasts a default Windows timer tick.
    TTickClock() {
        clock.onSleep = [](void* self) {
            auto* c = static_cast<TTickClock*>(self);
            c->clock.Advance(15);
            ++c->sleeps;
        };
        clock.onSleepArg = this;
    }
    FakeClock clock;
    int sleeps = 0;
};
} // namespace

TEST(PollFor, TheBoundIsTimeWhateverASleepLasts) {
    TTickClock t;
    t.clock.tick = 0xFFFFFF00u; // across the counter's wrap
    EXPECT_FALSE(PollFor(t.clock, 500, [] { return false; }));
    EXPECT_GE(t.clock.slept, 500u);
    EXPECT_LT(t.clock.slept, 500u + 16u);
    EXPECT_EQ(t.sleeps, 32);
}

TEST(PollFor, StopsAsSoonAsDoneAndSleepsNotAtAllWhenDoneAlready) {
    TTickClock t;
    EXPECT_TRUE(PollFor(t.clock, 500, [] { return true; }));
    EXPECT_EQ(t.sleeps, 0);
    int asked = 0;
    EXPECT_TRUE(PollFor(t.clock, 500, [&] { return ++asked == 3; }));
    EXPECT_EQ(t.sleeps, 2);
}
