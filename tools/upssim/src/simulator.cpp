#include "simulator.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <poll.h>
#include <unistd.h>

namespace upssim {

namespace {

constexpr double kNever = std::numeric_limits<double>::infinity();
constexpr double kIdleTick = 0.05;     // longest sleep; keeps the model and log current
constexpr double kBlockedGiveUp = 2.0; // nobody drains the line: drop what we wanted to send
constexpr double kHangupPause = 0.1;   // pty with no client: look again after this

std::string number_text(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

} // namespace

std::optional<UnknownReaction> parse_unknown_reaction(std::string_view word) {
    if (word == "echo") return UnknownReaction::Echo;
    if (word == "nak") return UnknownReaction::Nak;
    if (word == "nak-paren") return UnknownReaction::NakParen;
    if (word == "silent") return UnknownReaction::Silent;
    return std::nullopt;
}

// ---------------------------------------------------------------- Transmitter

void Transmitter::send(std::string bytes, double earliest, std::string label) {
    if (bytes.empty()) return;
    double start = std::max(earliest, line_free_at_);
    line_free_at_ = start + bytes.size() * kByteTime;
    pieces_.push_back({std::move(bytes), start, kByteTime, 0, std::move(label)});
}

void Transmitter::send_burst(std::string bytes, double earliest, std::string label) {
    if (bytes.empty()) return;
    double start = std::max(earliest, line_free_at_);
    line_free_at_ = start;
    pieces_.push_back({std::move(bytes), start, 0.0, 0, std::move(label)});
}

std::string Transmitter::due(double now) const {
    std::string out;
    for (const Piece& p : pieces_) {
        std::size_t k = p.sent;
        while (k < p.bytes.size() && p.start + k * p.byte_time <= now)
            ++k;
        out.append(p.bytes, p.sent, k - p.sent);
        if (k < p.bytes.size()) break;
    }
    return out;
}

std::vector<std::string> Transmitter::consume(std::size_t n) {
    std::vector<std::string> started;
    while (n > 0 && !pieces_.empty()) {
        Piece& p = pieces_.front();
        if (p.sent == 0 && !p.label.empty()) started.push_back(std::move(p.label));
        std::size_t take = std::min(n, p.bytes.size() - p.sent);
        p.sent += take;
        n -= take;
        if (p.sent == p.bytes.size()) pieces_.pop_front();
    }
    return started;
}

double Transmitter::next_due() const {
    if (pieces_.empty()) return kNever;
    const Piece& p = pieces_.front();
    return p.start + p.sent * p.byte_time;
}

std::size_t Transmitter::clear() {
    std::size_t dropped = 0;
    for (const Piece& p : pieces_)
        dropped += p.bytes.size() - p.sent;
    pieces_.clear();
    return dropped;
}

// ------------------------------------------------------------------ Simulator

Simulator::Simulator(SimConfig config, std::vector<Event> events, Logger& log, std::FILE* out)
    : config_(std::move(config)), events_(std::move(events)), log_(log), out_(out),
      model_(config_.model), rng_(config_.seed) {
    sort_events(events_);
}

void Simulator::log_notes() {
    for (const Note& n : model_.take_notes())
        log_.line(n.time / config_.speed, "ST", n.text);
}

void Simulator::update(double now) {
    double t = sim_time(now);
    while (!quit_ && next_event_ < events_.size() && events_[next_event_].time <= t) {
        const Event& e = events_[next_event_++];
        model_.advance_to(e.time);
        log_notes();
        apply(e.action, now, e.line);
    }
    model_.advance_to(t);
    log_notes();
}

double Simulator::next_wakeup(double now) const {
    double wake = std::min(now + kIdleTick, tx_.next_due());
    if (next_event_ < events_.size())
        wake = std::min(wake, events_[next_event_].time / config_.speed);
    return wake;
}

void Simulator::apply(const Action& a, double now, int line) {
    log_.line(now, "EV", line > 0 ? a.text + "  (line " + std::to_string(line) + ")" : a.text);
    double t = sim_time(now);
    switch (a.verb) {
    case Verb::Mains:
        model_.set_mains(a.on);
        break;
    case Verb::Input:
        model_.set_input_voltage(a.value);
        break;
    case Verb::FaultVolt:
        model_.set_fault_voltage(a.value);
        break;
    case Verb::Freq:
        model_.set_frequency(a.value);
        break;
    case Verb::Load:
        model_.set_load(static_cast<int>(a.value));
        break;
    case Verb::Temp:
        model_.set_temperature(a.value);
        break;
    case Verb::Battery:
        model_.set_battery(a.value);
        break;
    case Verb::Drain:
        model_.set_drain_rate(a.value);
        break;
    case Verb::Charge:
        model_.set_charge_rate(a.value);
        break;
    case Verb::Fault:
        model_.set_failed(a.on);
        break;
    case Verb::Standby:
        model_.set_standby_type(a.on);
        break;
    case Verb::Beeper:
        model_.set_beeper(a.on);
        break;
    case Verb::Cells:
        model_.set_per_cell(a.on);
        break;
    case Verb::TestStart:
        model_.start_test(a.value);
        break;
    case Verb::TestStop:
        model_.cancel_test();
        break;
    case Verb::Shutdown:
        model_.shutdown(a.value * 60.0, static_cast<int>(a.value2));
        break;
    case Verb::Cancel:
        model_.cancel_shutdown();
        break;
    case Verb::Silent:
        silent_until_ = t + a.value;
        break;
    case Verb::Garble:
        garble_until_ = t + a.value;
        break;
    case Verb::Truncate:
        truncate_until_ = t + a.value;
        break;
    case Verb::Echo:
        echo_until_ = t + a.value;
        break;
    case Verb::Late:
        late_ = a.value;
        break;
    case Verb::Split:
        split_pieces_ = static_cast<int>(a.value);
        split_gap_ = a.value2;
        break;
    case Verb::Stale: {
        auto count = static_cast<std::size_t>(a.value);
        tx_.send_burst(garbage(count), now, "stale " + std::to_string(count) + " bytes");
        break;
    }
    case Verb::OffComm:
        config_.off_silent = a.word == "silent";
        break;
    case Verb::Unknown:
        config_.unknown = *parse_unknown_reaction(a.word);
        break;
    case Verb::Show: {
        if (!out_) break;
        std::string s = format_status(model_.status());
        s.pop_back();
        std::fprintf(out_, "%s\n", s.c_str());
        std::fflush(out_);
        break;
    }
    case Verb::Quit:
        quit_ = true;
        break;
    }
    log_notes();
}

void Simulator::receive(std::string_view bytes, double now) {
    update(now);
    for (const CommandReader::Line& line : reader_.feed(bytes))
        handle_line(line, now);
}

void Simulator::handle_line(const CommandReader::Line& line, double now) {
    std::string rx = quoted(line.text);
    if (line.dropped > 0) rx += " (too long, " + std::to_string(line.dropped) + " bytes dropped)";
    double t = sim_time(now);

    if (t < silent_until_) {
        log_.line(now, "RX", rx + " (ignored: silent)");
        return;
    }
    if (!model_.output_on() && config_.off_silent) {
        log_.line(now, "RX", rx + " (ignored: output off)");
        return;
    }
    if (t < echo_until_) {
        // A looped cable: the UPS never sees the command, and the bytes come
        // straight back without any reply delay.
        log_.line(now, "RX", rx + " (looped back)");
        std::string back = line.text + "\r";
        tx_.send(back, now, quoted(back) + " (looped back)");
        return;
    }
    log_.line(now, "RX", rx);

    Command c = parse_command(line.text);
    switch (c.kind) {
    case CommandKind::Status:
        answer(format_status(model_.status()), now);
        break;
    case CommandKind::Rating:
        answer(format_rating(config_.rating), now);
        break;
    case CommandKind::Info:
        answer(format_info(config_.info), now);
        break;
    case CommandKind::Unknown:
        switch (config_.unknown) {
        case UnknownReaction::Echo:
            answer(line.text + "\r", now);
            break;
        case UnknownReaction::Nak:
            answer("NAK\r", now);
            break;
        case UnknownReaction::NakParen:
            answer("(NAK\r", now);
            break;
        case UnknownReaction::Silent:
            break;
        }
        break;
    default:
        model_.execute(c);
        log_notes();
        break;
    }
}

void Simulator::answer(std::string bytes, double now) {
    double t = sim_time(now);
    std::string remark;
    if (t < garble_until_) {
        bytes = garble(bytes);
        remark += " (garbled)";
    } else if (t < truncate_until_) {
        bytes = truncate(bytes);
        remark += " (truncated)";
        if (bytes.empty()) {
            log_.line(now, "TX", "\"\" (truncated to nothing)");
            return;
        }
    }
    double start = now + config_.reply_delay + late_;
    if (late_ > 0) remark += " (" + number_text(late_) + " s late)";

    int pieces = std::min<int>(split_pieces_, static_cast<int>(bytes.size()));
    if (pieces <= 1) {
        tx_.send(bytes, start, quoted(bytes) + remark);
        return;
    }
    remark += " (in " + std::to_string(pieces) + " pieces)";
    std::string label = quoted(bytes) + remark;
    std::size_t size = bytes.size();
    std::size_t offset = 0;
    for (int i = 0; i < pieces; ++i) {
        std::size_t end = size * (i + 1) / pieces;
        double earliest = i == 0 ? start : tx_.line_free_at() + split_gap_;
        tx_.send(bytes.substr(offset, end - offset), earliest, i == 0 ? label : std::string());
        offset = end;
    }
}

std::string Simulator::garble(const std::string& answer) {
    std::uniform_int_distribution<int> printable(0x20, 0x7e);
    std::size_t length = answer.size();
    // Half of the time right length, wrong content; otherwise a wrong length.
    if (std::uniform_int_distribution<int>(0, 1)(rng_) == 1 || length < 2) {
        std::uniform_int_distribution<std::size_t> size(1, 2 * length + 1);
        do
            length = size(rng_);
        while (length == answer.size());
    }
    std::string out;
    do {
        out.clear();
        for (std::size_t i = 0; i + 1 < length; ++i)
            out += static_cast<char>(printable(rng_));
        out += '\r';
    } while (out == answer);
    return out;
}

std::string Simulator::truncate(const std::string& answer) {
    if (answer.size() < 2) return {};
    std::uniform_int_distribution<std::size_t> cut(1, answer.size() - 1);
    return answer.substr(0, cut(rng_));
}

std::string Simulator::garbage(std::size_t count) {
    // Mostly printable with an occasional CR, like leftovers of old answers.
    std::uniform_int_distribution<int> printable(0x20, 0x7e);
    std::uniform_int_distribution<int> one_in(0, 39);
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += one_in(rng_) == 0 ? '\r' : static_cast<char>(printable(rng_));
    return out;
}

// ---------------------------------------------------------------- event loop

int serve(Simulator& sim, const Port& port, bool interactive,
          const volatile std::sig_atomic_t* stop) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point t0 = Clock::now();
    auto now = [&] { return std::chrono::duration<double>(Clock::now() - t0).count(); };

    bool stdin_open = interactive;
    std::string stdin_buffer;
    double port_pause_until = -1;
    double blocked_since = -1;

    while (!sim.finished() && !*stop) {
        double t = now();
        sim.update(t);
        if (sim.finished()) break;

        std::string due = sim.tx().due(t);
        if (!due.empty()) {
            ssize_t n = ::write(port.fd, due.data(), due.size());
            if (n > 0) {
                blocked_since = -1;
                for (const std::string& label : sim.tx().consume(static_cast<std::size_t>(n)))
                    sim.log().line(t, "TX", label);
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (blocked_since < 0) blocked_since = t;
                if (t - blocked_since > kBlockedGiveUp) {
                    std::size_t dropped = sim.tx().clear();
                    sim.log().line(t, "TX",
                                   "dropped " + std::to_string(dropped) +
                                       " bytes: nobody reads the line");
                    blocked_since = -1;
                }
            } else if (n < 0 && errno == EIO) {
                std::size_t dropped = sim.tx().clear();
                sim.log().line(t, "TX",
                               "dropped " + std::to_string(dropped) + " bytes: nothing connected");
            } else if (n < 0 && errno != EINTR) {
                sim.log().line(t, "ERR", std::string("write: ") + std::strerror(errno));
                return 1;
            }
        }

        double wake = sim.next_wakeup(t);
        if (blocked_since >= 0) wake = std::max(wake, t + 0.01);
        if (port_pause_until > t) wake = std::min(wake, port_pause_until);
        int timeout_ms = static_cast<int>(std::ceil(std::max(0.0, wake - now()) * 1000));

        pollfd fds[2] = {};
        fds[0].fd = port_pause_until > t ? -1 : port.fd;
        fds[0].events = static_cast<short>(POLLIN | (blocked_since >= 0 ? POLLOUT : 0));
        fds[1].fd = stdin_open ? STDIN_FILENO : -1;
        fds[1].events = POLLIN;
        int r = ::poll(fds, 2, timeout_ms);
        if (r < 0) {
            if (errno == EINTR) continue;
            sim.log().line(now(), "ERR", std::string("poll: ") + std::strerror(errno));
            return 1;
        }

        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buf[256];
            ssize_t n = ::read(port.fd, buf, sizeof buf);
            if (n > 0) {
                sim.receive(std::string_view(buf, static_cast<std::size_t>(n)), now());
            } else if (n == 0 || (n < 0 && errno == EIO)) {
                // A pty master reads EIO while no slave is open; wait for a client.
                port_pause_until = now() + kHangupPause;
            } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                sim.log().line(now(), "ERR", std::string("read: ") + std::strerror(errno));
                return 1;
            }
        }

        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buf[512];
            ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n <= 0) {
                stdin_open = false;
                continue;
            }
            stdin_buffer.append(buf, static_cast<std::size_t>(n));
            std::size_t eol;
            while ((eol = stdin_buffer.find('\n')) != std::string::npos) {
                std::string text = stdin_buffer.substr(0, eol);
                stdin_buffer.erase(0, eol + 1);
                std::size_t first = text.find_first_not_of(" \t\r");
                if (first == std::string::npos || text[first] == '#') continue;
                try {
                    double t_now = now();
                    sim.update(t_now);
                    sim.apply(parse_action(text), t_now);
                } catch (const ScenarioError& e) {
                    std::fprintf(stderr, "upssim: %s\n", e.what());
                }
            }
        }
    }
    sim.log().line(now(), "--", *stop ? "stopped by signal" : "quit");
    return 0;
}

} // namespace upssim
