#pragma once
#include <cstdint>
#include <functional>

class IClock;

// Asks `done` every millisecond until it says yes or `boundMs` have passed by the clock;
// true when it said yes. The bound is time, not a count of polls: a sleep of 1 ms lasts up
// to a whole timer tick on Windows (15.6 ms by default).
bool PollFor(IClock& clock, std::uint32_t boundMs, const std::function<bool()>& done);
