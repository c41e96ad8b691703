#include "dialog/module/bounded_wait.h"

#include "common/clock.h"

bool PollFor(IClock& clock, std::uint32_t boundMs, const std::function<bool()>& done) {
    const std::uint32_t start = clock.TickCount();
    for (;;) {
        if (done()) return true;
        // Unsigned difference: right across the counter's wrap after 49.7 days.
        if (clock.TickCount() - start >= boundMs) return false;
        clock.Sleep(1);
    }
}
