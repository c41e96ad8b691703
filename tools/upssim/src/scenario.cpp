#include "scenario.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace upssim {

namespace {

std::vector<std::string> tokens(std::string_view text) {
    text = text.substr(0, text.find('#'));
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        if (i > start) out.emplace_back(text.substr(start, i - start));
    }
    return out;
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

[[noreturn]] void fail(const std::string& message) {
    throw ScenarioError(0, message);
}

double number(const std::string& token, const char* what, double min, double max) {
    char* end = nullptr;
    double v = std::strtod(token.c_str(), &end);
    if (token.empty() || *end != '\0' || !std::isfinite(v))
        fail(std::string(what) + ": '" + token + "' is not a number");
    if (v < min || v > max)
        fail(std::string(what) + ": " + token + " is out of range (" + std::to_string(min) +
             " .. " + std::to_string(max) + ")");
    return v;
}

double whole_number(const std::string& token, const char* what, double min, double max) {
    double v = number(token, what, min, max);
    if (v != std::floor(v)) fail(std::string(what) + ": " + token + " must be a whole number");
    return v;
}

bool on_off(const std::string& token, const std::string& keyword) {
    std::string t = lower(token);
    if (t == "on") return true;
    if (t == "off") return false;
    fail(keyword + ": expected 'on' or 'off', got '" + token + "'");
}

void expect_args(const std::vector<std::string>& t, std::size_t min, std::size_t max,
                 const char* usage) {
    std::size_t n = t.size() - 1;
    if (n < min || n > max) fail(std::string("usage: ") + usage);
}

std::string join(const std::vector<std::string>& t) {
    std::string out;
    for (const auto& s : t)
        out += (out.empty() ? "" : " ") + s;
    return out;
}

} // namespace

Action parse_action(std::string_view text) {
    std::vector<std::string> t = tokens(text);
    if (t.empty()) fail("missing keyword");
    t[0] = lower(t[0]);
    const std::string& k = t[0];
    Action a;

    auto on_off_verb = [&](Verb v) {
        expect_args(t, 1, 1, (k + " on|off").c_str());
        a.verb = v;
        a.on = on_off(t[1], k);
    };
    auto seconds_verb = [&](Verb v, const char* usage) {
        expect_args(t, 1, 1, usage);
        a.verb = v;
        a.value = number(t[1], k.c_str(), 0, 1e6);
    };
    auto value_verb = [&](Verb v, const char* usage, double min, double max) {
        expect_args(t, 1, 1, usage);
        a.verb = v;
        a.value = number(t[1], k.c_str(), min, max);
    };

    if (k == "mains") {
        on_off_verb(Verb::Mains);
    } else if (k == "input") {
        value_verb(Verb::Input, "input VOLTS", 0, 999.9);
    } else if (k == "faultvolt") {
        value_verb(Verb::FaultVolt, "faultvolt VOLTS", 0, 999.9);
    } else if (k == "freq") {
        value_verb(Verb::Freq, "freq HZ", 0, 99.9);
    } else if (k == "load") {
        expect_args(t, 1, 1, "load PERCENT");
        a.verb = Verb::Load;
        a.value = whole_number(t[1], "load", 0, 999);
    } else if (k == "temp") {
        value_verb(Verb::Temp, "temp CELSIUS", -50, 99.9);
    } else if (k == "battery") {
        value_verb(Verb::Battery, "battery VOLTS", 0, 99.9);
    } else if (k == "drain") {
        value_verb(Verb::Drain, "drain VOLTS_PER_SECOND", 0, 100);
    } else if (k == "charge") {
        value_verb(Verb::Charge, "charge VOLTS_PER_SECOND", 0, 100);
    } else if (k == "fault") {
        on_off_verb(Verb::Fault);
    } else if (k == "standby") {
        on_off_verb(Verb::Standby);
    } else if (k == "beeper") {
        on_off_verb(Verb::Beeper);
    } else if (k == "cells") {
        on_off_verb(Verb::Cells);
    } else if (k == "test") {
        const char* usage = "test on [SECONDS] | test low | test off";
        expect_args(t, 1, 2, usage);
        std::string mode = lower(t[1]);
        if (mode == "on") {
            a.verb = Verb::TestStart;
            a.value = t.size() == 3 ? number(t[2], "test", 0.001, 1e6) : 10;
        } else if (mode == "low" && t.size() == 2) {
            a.verb = Verb::TestStart;
            a.value = 0;
        } else if (mode == "off" && t.size() == 2) {
            a.verb = Verb::TestStop;
        } else {
            fail(std::string("usage: ") + usage);
        }
    } else if (k == "shutdown") {
        const char* usage = "shutdown MINUTES [restore MINUTES]";
        if (t.size() != 2 && !(t.size() == 4 && lower(t[2]) == "restore"))
            fail(std::string("usage: ") + usage);
        a.verb = Verb::Shutdown;
        a.value = number(t[1], "shutdown", 0, 99);
        a.value2 = t.size() == 4 ? whole_number(t[3], "restore", 0, 9999) : -1;
    } else if (k == "cancel") {
        expect_args(t, 0, 0, "cancel");
        a.verb = Verb::Cancel;
    } else if (k == "silent") {
        seconds_verb(Verb::Silent, "silent SECONDS");
    } else if (k == "garble") {
        seconds_verb(Verb::Garble, "garble SECONDS");
    } else if (k == "truncate") {
        seconds_verb(Verb::Truncate, "truncate SECONDS");
    } else if (k == "echo") {
        seconds_verb(Verb::Echo, "echo SECONDS");
    } else if (k == "late") {
        value_verb(Verb::Late, "late SECONDS", 0, 60);
    } else if (k == "split") {
        expect_args(t, 1, 2, "split PIECES [GAP_SECONDS]");
        a.verb = Verb::Split;
        a.value = whole_number(t[1], "split", 1, 47);
        a.value2 = t.size() == 3 ? number(t[2], "split gap", 0, 60) : 0.3;
    } else if (k == "stale") {
        expect_args(t, 1, 1, "stale BYTES");
        a.verb = Verb::Stale;
        a.value = whole_number(t[1], "stale", 1, 4000);
    } else if (k == "offcomm") {
        expect_args(t, 1, 1, "offcomm answer|silent");
        a.verb = Verb::OffComm;
        a.word = lower(t[1]);
        if (a.word != "answer" && a.word != "silent")
            fail("offcomm: expected 'answer' or 'silent', got '" + t[1] + "'");
    } else if (k == "unknown") {
        expect_args(t, 1, 1, "unknown echo|nak|nak-paren|silent");
        a.verb = Verb::Unknown;
        a.word = lower(t[1]);
        if (a.word != "echo" && a.word != "nak" && a.word != "nak-paren" && a.word != "silent")
            fail("unknown: expected echo, nak, nak-paren or silent, got '" + t[1] + "'");
    } else if (k == "show") {
        expect_args(t, 0, 0, "show");
        a.verb = Verb::Show;
    } else if (k == "quit") {
        expect_args(t, 0, 0, "quit");
        a.verb = Verb::Quit;
    } else {
        fail("unknown keyword '" + t[0] + "'");
    }
    a.text = join(t);
    return a;
}

bool parse_event(std::string_view text, int line, Event& out) {
    std::string_view code = text.substr(0, text.find('#'));
    std::size_t start = code.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return false;
    code = code.substr(start);
    std::size_t end = code.find_first_of(" \t");
    std::string time_token(code.substr(0, end));
    try {
        char* stop = nullptr;
        double t = std::strtod(time_token.c_str(), &stop);
        if (*stop != '\0' || !std::isfinite(t) || t < 0)
            fail("expected a time in seconds, got '" + time_token + "'");
        if (end == std::string_view::npos) fail("missing keyword after the time");
        out.time = t;
        out.line = line;
        out.action = parse_action(code.substr(end));
    } catch (const ScenarioError& e) {
        throw ScenarioError(line, e.what());
    }
    return true;
}

std::vector<Event> parse_scenario(std::istream& in) {
    std::vector<Event> events;
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        Event e;
        if (parse_event(text, line, e)) events.push_back(std::move(e));
    }
    sort_events(events);
    return events;
}

void sort_events(std::vector<Event>& events) {
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.time < b.time; });
}

const char* scenario_keywords_help() {
    return R"(Scenario lines: SECONDS KEYWORD [ARGUMENTS]   ('#' starts a comment)
Event times, durations and the UPS's own timers are simulated seconds, which
--speed scales; 'late', the 'split' gap and the reply delay are wall-clock.

  mains on|off               mains present / power cut
  input VOLTS                mains voltage: boost below 195, buck above 245,
                             on battery below 170 or above 280
  faultvolt VOLTS            input fault voltage field (until the next transfer)
  freq HZ                    mains frequency
  load PERCENT               output load
  temp CELSIUS               temperature
  battery VOLTS              whole-battery voltage (low 11.0, clears 11.5, cut-off 10.5)
  drain VOLTS_PER_SECOND     battery fall while discharging (default 0.01)
  charge VOLTS_PER_SECOND    battery rise on mains (default 0.002)
  fault on|off               UPS failed bit
  standby on|off             standby (line-interactive) type bit
  beeper on|off              beeper bit
  cells on|off               battery voltage per cell (2.27) instead of whole (13.6)
  test on [SECONDS]          self-test, 10 s by default, as on 'T'
  test low                   self-test until battery low, as on 'TL'
  test off                   cancel a self-test, as on 'CT'
  shutdown MIN [restore MIN] as on 'S' / 'S..R....'; fractions of minutes allowed
  cancel                     cancel a shutdown, as on 'C'
  silent SECONDS             read commands but neither act nor answer
  garble SECONDS             answers become random printable bytes (right or wrong length)
  truncate SECONDS           answers are cut short, without the CR
  echo SECONDS               commands come back unprocessed (looped cable)
  late SECONDS               answer this much later from now on; 0 = normal
  split PIECES [GAP]         send answers in PIECES parts, GAP s apart (0.3); 1 = normal
  stale BYTES                put BYTES garbage bytes on the line at once, unrequested
  offcomm answer|silent      when the output is off: answer (output 0) or stay quiet
  unknown echo|nak|nak-paren|silent   reaction to unknown commands
  show                       print the current status answer on stdout
  quit                       end the simulator, which closes the pty
)";
}

} // namespace upssim
