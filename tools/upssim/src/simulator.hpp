// Ties the UPS model to the serial line: turns received bytes into commands,
// answers at 2400 baud, plays the scenario and injects line faults.
#pragma once

#include <csignal>
#include <cstdio>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "log.hpp"
#include "port.hpp"
#include "protocol.hpp"
#include "scenario.hpp"
#include "ups_model.hpp"

namespace upssim {

enum class UnknownReaction { Echo, Nak, NakParen, Silent };
std::optional<UnknownReaction> parse_unknown_reaction(std::string_view word);

struct SimConfig {
    ModelConfig model;
    Rating rating;
    Info info;
    double speed = 1.0;        // simulated seconds per wall-clock second
    double reply_delay = 0.02; // wall-clock seconds from CR to the first answer byte
    UnknownReaction unknown = UnknownReaction::Echo;
    bool off_silent = false; // no answers while the output is switched off
    unsigned seed = 1;
};

// Outgoing bytes with their send times. Paced bytes go out one per 10 bit
// times at 2400 baud, never overlapping on the line.
class Transmitter {
public:
    static constexpr double kByteTime = 10.0 / 2400;

    // Paced, starting no earlier than `earliest` and after everything queued.
    void send(std::string bytes, double earliest, std::string label = {});
    // All at once, as if the bytes had been sitting in the buffer already.
    void send_burst(std::string bytes, double earliest, std::string label = {});

    // Bytes that may be written at `now`, in order.
    std::string due(double now) const;
    // Marks n bytes as written; returns the labels of pieces that just started.
    std::vector<std::string> consume(std::size_t n);

    double next_due() const; // +infinity when empty
    bool empty() const { return pieces_.empty(); }
    double line_free_at() const { return line_free_at_; }
    std::size_t clear(); // returns how many bytes were dropped

private:
    struct Piece {
        std::string bytes;
        double start;
        double byte_time;
        std::size_t sent;
        std::string label;
    };
    std::deque<Piece> pieces_;
    double line_free_at_ = 0;
};

class Simulator {
public:
    // `out` receives the 'show' output. Times passed to the methods are
    // wall-clock seconds since start.
    Simulator(SimConfig config, std::vector<Event> events, Logger& log, std::FILE* out = stdout);

    void update(double now); // plays due scenario events, moves the model on
    void receive(std::string_view bytes, double now);
    void apply(const Action& action, double now, int line = 0);

    double next_wakeup(double now) const;
    bool finished() const { return quit_; }

    UpsModel& model() { return model_; }
    Transmitter& tx() { return tx_; }
    Logger& log() { return log_; }

private:
    double sim_time(double now) const { return now * config_.speed; }
    void handle_line(const CommandReader::Line& line, double now);
    void answer(std::string bytes, double now);
    void log_notes();
    std::string garble(const std::string& answer);
    std::string truncate(const std::string& answer);
    std::string garbage(std::size_t count);

    SimConfig config_;
    std::vector<Event> events_;
    std::size_t next_event_ = 0;
    Logger& log_;
    std::FILE* out_;
    UpsModel model_;
    CommandReader reader_;
    Transmitter tx_;
    std::mt19937 rng_;
    bool quit_ = false;

    // Line faults; window ends are simulated seconds.
    double silent_until_ = -1;
    double garble_until_ = -1;
    double truncate_until_ = -1;
    double echo_until_ = -1;
    double late_ = 0;
    int split_pieces_ = 1;
    double split_gap_ = 0;
};

// The event loop. Returns when a scenario says quit or *stop becomes non-zero;
// the result is the process exit code.
int serve(Simulator& sim, const Port& port, bool interactive,
          const volatile std::sig_atomic_t* stop);

} // namespace upssim
