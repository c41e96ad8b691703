// The scenario language: "<seconds> <keyword> [arguments]" per line.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace upssim {

enum class Verb {
    Mains,
    Input,
    FaultVolt,
    Freq,
    Load,
    Temp,
    Battery,
    Drain,
    Charge,
    Fault,
    Standby,
    Beeper,
    Cells,
    TestStart, // value: seconds, 0 = until battery low
    TestStop,
    Shutdown, // value: minutes; value2: restore minutes or -1
    Cancel,
    Silent,
    Garble,
    Truncate,
    Echo,
    Late,
    Split, // value: pieces; value2: gap seconds
    Stale, // value: byte count
    OffComm,
    Unknown,
    Show,
    Quit,
};

struct Action {
    Verb verb = Verb::Quit;
    double value = 0;
    double value2 = 0;
    bool on = false;  // on/off keywords
    std::string word; // offcomm / unknown argument
    std::string text; // normalised source text, for the log
};

struct Event {
    double time = 0; // simulated seconds since start
    int line = 0;    // 0 for events given on the command line
    Action action;
};

class ScenarioError : public std::runtime_error {
public:
    ScenarioError(int line, const std::string& message)
        : std::runtime_error(message), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// One action without a time, e.g. "mains off". Throws ScenarioError (line 0).
Action parse_action(std::string_view text);

// One timed line, e.g. "12.5 mains on  # comment". Returns false for blank and
// comment-only lines. Throws ScenarioError carrying `line`.
bool parse_event(std::string_view text, int line, Event& out);

// A whole file; events come back ordered by time, equal times in file order.
std::vector<Event> parse_scenario(std::istream& in);

void sort_events(std::vector<Event>& events);

// The keyword reference shown by --help.
const char* scenario_keywords_help();

} // namespace upssim
