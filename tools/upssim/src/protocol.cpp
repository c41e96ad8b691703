#include "protocol.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace upssim {

namespace {

// Fixed-width, zero-padded number. Clamping to [0, max] before rounding keeps
// the width: max is the largest value the field can show.
std::string field(double value, int width, int decimals, double max) {
    if (!(value >= 0)) value = 0; // also catches NaN
    value = std::min(value, max);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*.*f", width, decimals, value);
    return buf;
}

std::string padded(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, width));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) c = '?';
    out.resize(width, ' ');
    return out;
}

bool all_digits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int to_int(std::string_view digits) {
    int v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// Delay before switch-off: ".2" .. ".9" (tenths of a minute) or "01" .. "10".
bool parse_shutdown_delay(std::string_view s, double& seconds) {
    if (s.size() != 2) return false;
    if (s[0] == '.' && s[1] >= '2' && s[1] <= '9') {
        seconds = (s[1] - '0') * 6.0;
        return true;
    }
    if (all_digits(s)) {
        int minutes = to_int(s);
        if (minutes < 1 || minutes > 10) return false;
        seconds = minutes * 60.0;
        return true;
    }
    return false;
}

} // namespace

std::string format_status(const Status& s) {
    double battery = s.battery_voltage;
    std::string batt;
    if (s.per_cell && s.cells > 0)
        batt = field(battery / s.cells, 4, 2, 9.99);
    else
        batt = field(battery, 4, 1, 99.9);

    std::string bits;
    for (int b = 7; b >= 0; --b)
        bits += (s.bits >> b) & 1 ? '1' : '0';

    int load = std::clamp(s.load_percent, 0, 999);
    char load_buf[8];
    std::snprintf(load_buf, sizeof load_buf, "%03d", load);

    return "(" + field(s.input_voltage, 5, 1, 999.9) + " " + field(s.fault_voltage, 5, 1, 999.9) +
           " " + field(s.output_voltage, 5, 1, 999.9) + " " + load_buf + " " +
           field(s.frequency, 4, 1, 99.9) + " " + batt + " " + field(s.temperature, 4, 1, 99.9) +
           " " + bits + "\r";
}

std::string format_rating(const Rating& r) {
    char current[8];
    std::snprintf(current, sizeof current, "%03d", std::clamp(r.current, 0, 999));
    return "#" + field(r.voltage, 5, 1, 999.9) + " " + current + " " +
           field(r.battery_voltage, 5, 2, 99.99) + " " + field(r.frequency, 4, 1, 99.9) + "\r";
}

std::string format_info(const Info& i) {
    return "#" + padded(i.company, 15) + " " + padded(i.model, 10) + " " + padded(i.version, 10) +
           "\r";
}

Command parse_command(std::string_view t) {
    Command c;
    if (t == "Q1") {
        c.kind = CommandKind::Status;
    } else if (t == "F") {
        c.kind = CommandKind::Rating;
    } else if (t == "I") {
        c.kind = CommandKind::Info;
    } else if (t == "Q") {
        c.kind = CommandKind::ToggleBeeper;
    } else if (t == "C") {
        c.kind = CommandKind::Cancel;
    } else if (t == "CT") {
        c.kind = CommandKind::CancelTest;
    } else if (t == "T") {
        c.kind = CommandKind::Test;
        c.test_seconds = 10;
    } else if (t == "TL") {
        c.kind = CommandKind::TestUntilLow;
    } else if (t.size() == 3 && t[0] == 'T' && all_digits(t.substr(1))) {
        int minutes = to_int(t.substr(1));
        if (minutes >= 1) {
            c.kind = CommandKind::Test;
            c.test_seconds = minutes * 60.0;
        }
    } else if (t.size() >= 3 && t[0] == 'S') {
        double delay = 0;
        std::string_view rest = t.substr(3);
        if (!parse_shutdown_delay(t.substr(1, 2), delay)) return c;
        if (rest.empty()) {
            c.kind = CommandKind::Shutdown;
            c.shutdown_seconds = delay;
        } else if (rest.size() == 5 && rest[0] == 'R' && all_digits(rest.substr(1))) {
            c.kind = CommandKind::Shutdown;
            c.shutdown_seconds = delay;
            c.restore_minutes = to_int(rest.substr(1));
        }
    }
    return c;
}

std::vector<CommandReader::Line> CommandReader::feed(std::string_view bytes) {
    std::vector<Line> lines;
    for (char ch : bytes) {
        if (ch == '\n' || ch == '\0') continue;
        if (ch == '\r') {
            lines.push_back({std::move(buffer_), dropped_});
            buffer_.clear();
            dropped_ = 0;
        } else if (buffer_.size() < limit_) {
            buffer_ += ch;
        } else {
            ++dropped_;
        }
    }
    return lines;
}

} // namespace upssim
