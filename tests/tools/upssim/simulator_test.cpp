#include <cstdio>
#include <gtest/gtest.h>

#include "simulator.hpp"

using namespace upssim;

namespace {

constexpr double kByte = Transmitter::kByteTime;

// Runs a Simulator without any file descriptors: bytes in, bytes out, log in memory.
class Harness {
public:
    explicit Harness(SimConfig config = {}, std::vector<Event> events = {}) {
        log_file_ = open_memstream(&log_buf_, &log_size_);
        log_.set_output(log_file_);
        sim_ = std::make_unique<Simulator>(config, std::move(events), log_, nullptr);
    }
    ~Harness() {
        sim_.reset();
        std::fclose(log_file_);
        std::free(log_buf_);
    }

    // Sends a command at `at` and collects everything the UPS puts on the line
    // up to `until`.
    std::string ask(const std::string& command, double at, double until) {
        send(command, at);
        return collect(until);
    }
    void send(const std::string& command, double at) {
        sim_->update(at);
        sim_->receive(command, at);
    }
    std::string collect(double until) {
        sim_->update(until);
        std::string out = sim_->tx().due(until);
        sim_->tx().consume(out.size());
        return out;
    }
    std::string log() {
        std::fflush(log_file_);
        return std::string(log_buf_, log_size_);
    }
    Simulator& sim() { return *sim_; }

private:
    char* log_buf_ = nullptr;
    std::size_t log_size_ = 0;
    std::FILE* log_file_ = nullptr;
    Logger log_;
    std::unique_ptr<Simulator> sim_;
};

Event at(double time, const char* action) {
    return Event{time, 0, parse_action(action)};
}

} // namespace

TEST(Transmitter, PacesAt2400BaudWithoutOverlap) {
    Transmitter tx;
    tx.send(std::string(47, 'a'), 1.0, "first");
    tx.send("bb", 1.0); // queued behind the first answer
    EXPECT_EQ(tx.due(0.999), "");
    EXPECT_EQ(tx.due(1.0), "a");
    EXPECT_EQ(tx.due(1.0 + 10.5 * kByte).size(), 11u);
    EXPECT_NEAR(tx.line_free_at(), 1.0 + 49 * kByte, 1e-12);
    EXPECT_NEAR(49 * kByte, 0.204, 0.001);

    auto labels = tx.consume(1);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0], "first");
    EXPECT_NEAR(tx.next_due(), 1.0 + kByte, 1e-12);
    EXPECT_EQ(tx.due(2.0), std::string(46, 'a') + "bb");

    tx.send_burst("zzz", 0);
    EXPECT_EQ(tx.clear(), 46u + 2 + 3); // nothing consumed since
    EXPECT_TRUE(tx.empty());
}

TEST(Simulator, AnswersStatusAfterTheReplyDelay) {
    Harness h;
    std::string early = h.ask("Q1\r", 1.0, 1.0 + 0.019);
    EXPECT_EQ(early, "");
    std::string a = h.collect(2.0);
    EXPECT_EQ(a, "(220.0 220.0 220.0 025 50.0 13.6 25.0 00001001\r");
    EXPECT_EQ(h.ask("F\r", 3, 4), "#220.0 003 12.00 50.0\r");
    EXPECT_EQ(h.ask("Q\r", 5, 6), ""); // beeper toggle has no answer
    EXPECT_EQ(h.ask("Q1\r", 7, 8).substr(38), "00001000\r");
    EXPECT_NE(h.log().find("1.000 RX \"Q1\""), std::string::npos);
}

TEST(Simulator, UnknownCommandReactions) {
    SimConfig c;
    Harness echo(c);
    EXPECT_EQ(echo.ask("M\r", 0, 1), "M\r");

    c.unknown = UnknownReaction::NakParen;
    Harness nak(c);
    EXPECT_EQ(nak.ask("M\r", 0, 1), "(NAK\r");
    nak.sim().apply(parse_action("unknown silent"), 1);
    EXPECT_EQ(nak.ask("M\r", 2, 3), "");
}

TEST(Simulator, LineFaultWindows) {
    const std::string q1 = "(220.0 220.0 220.0 025 50.0 13.6 25.0 00001001\r";
    Harness h({}, {at(1, "echo 1"), at(3, "silent 1"), at(5, "truncate 1"), at(7, "garble 1")});

    // Looped back, and the UPS never sees the command.
    EXPECT_EQ(h.ask("Q\r", 1.5, 2.5), "Q\r");
    EXPECT_EQ(h.ask("Q1\r", 2.5, 3), q1);

    EXPECT_EQ(h.ask("Q1\r", 3.5, 4.5), "");
    EXPECT_EQ(h.ask("Q1\r", 4.5, 5), q1);

    std::string cut = h.ask("Q1\r", 5.5, 6.5);
    EXPECT_FALSE(cut.empty());
    EXPECT_LT(cut.size(), q1.size());
    EXPECT_EQ(cut, q1.substr(0, cut.size()));

    // Garbled answers are printable and end with CR, so they can be told apart.
    h.send("Q1\r", 7.0);
    h.send("Q1\r", 7.1);
    std::string garbled = h.ask("Q1\r", 7.2, 8.5);
    ASSERT_FALSE(garbled.empty());
    EXPECT_EQ(garbled.back(), '\r');
    std::size_t answers = 0;
    for (std::size_t pos = 0, cr; (cr = garbled.find('\r', pos)) != std::string::npos;
         pos = cr + 1) {
        EXPECT_NE(garbled.substr(pos, cr + 1 - pos), q1);
        ++answers;
    }
    EXPECT_EQ(answers, 3u);
    EXPECT_EQ(h.ask("Q1\r", 8.5, 9), q1);

    EXPECT_NE(h.log().find("RX \"Q1\" (ignored: silent)"), std::string::npos);
}

TEST(Simulator, LateAndSplitAnswers) {
    Harness h({}, {at(1, "late 0.5"), at(2, "late 0"), at(2, "split 2 0.3")});
    EXPECT_EQ(h.ask("F\r", 1.0, 1.5), "");
    EXPECT_EQ(h.collect(1.7).size(), 22u);

    std::string first = h.ask("F\r", 3.0, 3.0 + 0.02 + 11 * kByte);
    EXPECT_EQ(first, "#220.0 003 ");
    EXPECT_EQ(h.collect(3.0 + 0.02 + 11 * kByte + 0.29), ""); // the gap
    EXPECT_EQ(h.collect(3.5), "12.00 50.0\r");
}

TEST(Simulator, SwitchedOffUpsCanStayQuiet) {
    SimConfig c;
    c.off_silent = true;
    Harness h(c);
    h.ask("S.2\r", 0, 1);
    EXPECT_EQ(h.ask("Q1\r", 11, 12).size(), kStatusLength);
    EXPECT_EQ(h.ask("Q1\r", 13, 14), "");
    h.sim().apply(parse_action("offcomm answer"), 15);
    EXPECT_EQ(h.ask("Q1\r", 15, 16), "(220.0 220.0 000.0 000 50.0 13.6 25.0 00001011\r");
}

TEST(Simulator, SpeedScalesTheScenarioAndTheUps) {
    SimConfig c;
    c.speed = 10;
    Harness h(c, {at(20, "mains off"), at(40, "quit")});
    h.collect(1.99);
    EXPECT_TRUE(h.sim().model().mains_present());
    h.collect(2.0);
    EXPECT_FALSE(h.sim().model().mains_present());
    h.collect(3.0); // 10 simulated seconds on battery
    EXPECT_NEAR(h.sim().model().battery(), 13.5, 1e-9);
    EXPECT_FALSE(h.sim().finished());
    h.collect(4.0);
    EXPECT_TRUE(h.sim().finished());
}
