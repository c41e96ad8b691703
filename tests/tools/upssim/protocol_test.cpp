#include <cmath>
#include <gtest/gtest.h>

#include "protocol.hpp"

using namespace upssim;

namespace {

Status sample_status() {
    Status s;
    s.input_voltage = 219.0;
    s.fault_voltage = 219.0;
    s.output_voltage = 220.0;
    s.load_percent = 25;
    s.frequency = 50.0;
    s.battery_voltage = 13.6;
    s.temperature = 25.0;
    s.bits = kStandbyType | kBeeperOn;
    return s;
}

} // namespace

TEST(Format, StatusAnswerIsByteExact) {
    std::string a = format_status(sample_status());
    EXPECT_EQ(a, "(219.0 219.0 220.0 025 50.0 13.6 25.0 00001001\r");
    EXPECT_EQ(a.size(), kStatusLength);

    Status s = sample_status();
    s.bits = kUtilityFail | kBatteryLow | kShutdownActive;
    s.input_voltage = 0;
    s.per_cell = true; // 13.6 V over 6 cells
    EXPECT_EQ(format_status(s), "(000.0 219.0 220.0 025 50.0 2.27 25.0 11000010\r");
}

TEST(Format, StatusKeepsItsLengthWhateverTheValues) {
    Status s = sample_status();
    s.input_voltage = 1234.5;
    s.fault_voltage = -3;
    s.output_voltage = NAN;
    s.load_percent = 1500;
    s.frequency = 99.96;
    s.battery_voltage = 150;
    s.temperature = -10;
    s.bits = 0xff;
    std::string a = format_status(s);
    EXPECT_EQ(a, "(999.9 000.0 000.0 999 99.9 99.9 00.0 11111111\r");

    s.per_cell = true;
    s.cells = 1;
    EXPECT_EQ(format_status(s).size(), kStatusLength);
}

TEST(Format, RatingAndInfo) {
    std::string r = format_rating(Rating{});
    EXPECT_EQ(r, "#220.0 003 12.00 50.0\r");
    EXPECT_EQ(r.size(), kRatingLength);

    std::string i = format_info(Info{});
    EXPECT_EQ(i, "#SIMULATED CO.   UPSSIM-600 1.0.0     \r");
    EXPECT_EQ(i.size(), kInfoLength);

    // Too long is cut, control bytes must not break the frame.
    Info odd{"A company name that is far too long", "M\r1", "v"};
    std::string o = format_info(odd);
    EXPECT_EQ(o, "#A company name  M?1        v         \r");
    EXPECT_EQ(o.size(), kInfoLength);
}

TEST(CommandParser, AcceptsEveryMegatecCommand) {
    EXPECT_EQ(parse_command("Q1").kind, CommandKind::Status);
    EXPECT_EQ(parse_command("F").kind, CommandKind::Rating);
    EXPECT_EQ(parse_command("I").kind, CommandKind::Info);
    EXPECT_EQ(parse_command("Q").kind, CommandKind::ToggleBeeper);
    EXPECT_EQ(parse_command("C").kind, CommandKind::Cancel);
    EXPECT_EQ(parse_command("CT").kind, CommandKind::CancelTest);
    EXPECT_EQ(parse_command("TL").kind, CommandKind::TestUntilLow);

    Command t = parse_command("T");
    EXPECT_EQ(t.kind, CommandKind::Test);
    EXPECT_EQ(t.test_seconds, 10);
    EXPECT_EQ(parse_command("T01").test_seconds, 60);
    EXPECT_EQ(parse_command("T99").test_seconds, 99 * 60);

    Command s = parse_command("S.2");
    EXPECT_EQ(s.kind, CommandKind::Shutdown);
    EXPECT_DOUBLE_EQ(s.shutdown_seconds, 12);
    EXPECT_EQ(s.restore_minutes, -1);
    EXPECT_DOUBLE_EQ(parse_command("S.9").shutdown_seconds, 54);
    EXPECT_DOUBLE_EQ(parse_command("S10").shutdown_seconds, 600);

    Command sr = parse_command("S.5R0010");
    EXPECT_EQ(sr.kind, CommandKind::Shutdown);
    EXPECT_DOUBLE_EQ(sr.shutdown_seconds, 30);
    EXPECT_EQ(sr.restore_minutes, 10);
    EXPECT_EQ(parse_command("S01R0000").restore_minutes, 0);
    EXPECT_EQ(parse_command("S01R9999").restore_minutes, 9999);
}

TEST(CommandParser, RejectsMalformedCommands) {
    for (const char* bad :
         {"",     "q1",     "Q1 ",       " Q1",      "Q2",       "FF",  "T0",  "T00",
          "T100", "TX",     "S",         "S.1",      "S.0",      "S00", "S11", "S1",
          "S.5R", "S.5R10", "S.5R00100", "S.5X0010", "S.5R00a0", "CTT", "NAK"})
        EXPECT_EQ(parse_command(bad).kind, CommandKind::Unknown) << '"' << bad << '"';
}

TEST(CommandReader, SplitsOnCrAndIgnoresLfAndNul) {
    CommandReader r;
    auto lines = r.feed(std::string("Q1\r\nF\r\0I", 8));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "Q1");
    EXPECT_EQ(lines[1].text, "F");
    EXPECT_EQ(r.pending(), 1u);

    // The rest of a command may come in a later read.
    lines = r.feed("\r\r");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "I");
    EXPECT_EQ(lines[1].text, ""); // a bare CR is an (unknown) empty command
}

TEST(CommandReader, OverlongLineIsCappedAndReaderRecovers) {
    CommandReader r(64);
    std::string junk(200, 'x');
    EXPECT_TRUE(r.feed(junk).empty());
    EXPECT_EQ(r.pending(), 64u);
    auto lines = r.feed("\rQ1\r");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, std::string(64, 'x'));
    EXPECT_EQ(lines[0].dropped, 136u);
    EXPECT_EQ(lines[1].text, "Q1");
    EXPECT_EQ(lines[1].dropped, 0u);
}
