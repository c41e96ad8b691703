#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/commands.h"
#include "link_fixture.h"
#include "monitor/link/megatec_parse.h"

namespace {

TUpsStatus Parse(const std::string& line, std::uint8_t altTransDiff = 0) {
    TUpsStatus s{};
    ParseStatusLine(line, altTransDiff, s);
    return s;
}

// Input, fault, output, battery, frequency, temperature: copies, never the packed fields.
std::vector<float> Volts(const TUpsStatus& s) {
    return {s.InputVoltage,   s.InputFaultVoltage, s.OutputVoltage,
            s.BatteryVoltage, s.InputFrequency,    s.Temperature};
}

std::uint16_t Flags(const char* in, const char* out, const char* bits, std::uint8_t diff = 0) {
    return Parse(std::string("(") + in + " 219.0 " + out + " 025 50.0 13.6 25.0 " + bits + "\r",
                 diff)
        .Flags;
}

} // namespace

TEST(MegatecParse, CommandTexts) {
    EXPECT_EQ(BuildCommandText(CMD_STATUS, nullptr), "Q1\r");
    EXPECT_EQ(BuildCommandText(CMD_TESTMINUTES, "99"), "T99\r");
    EXPECT_EQ(BuildCommandText(CMD_SHUTDOWN, "05"), "S05\r");
    EXPECT_EQ(BuildCommandText(CMD_SHUTDOWNRESTORE, ".5R0010"), "S.5R0010\r");
    EXPECT_EQ(BuildCommandText(CMD_SHUTDOWNRESTORE, ".5"), "S.5R\r"); // short: no over-read
    EXPECT_EQ(BuildCommandText(CMD_SHUTDOWN, nullptr), std::nullopt);
    EXPECT_EQ(BuildCommandText(CMD_BEEPON, nullptr), std::nullopt);
    // An argument without its zero is read no further than 255 characters.
    char unterminated[300];
    std::fill(std::begin(unterminated), std::end(unterminated), 'a');
    EXPECT_EQ(BuildCommandText(CMD_CUSTOM, unterminated), std::string(255, 'a') + "\r");
}

TEST(MegatecParse, StatusLineFieldsAndFlags) {
    const TUpsStatus s = Parse(StatusLine);
    EXPECT_EQ(Volts(s), (std::vector<float>{219.0f, 219.0f, 220.0f, 13.6f, 50.0f, 25.0f}));
    EXPECT_EQ(s.Load, 25);
    EXPECT_EQ(s.Flags, 0x0120);
    EXPECT_EQ(Flags("219.0", "220.0", "11011110"), 0x00F3);

    const TUpsStatus bad = Parse("(2l9.O 219.0 220.0 -01 50.0 13.6 9e99 00000000\r");
    EXPECT_EQ(Volts(bad), (std::vector<float>{-1, 219.0f, 220.0f, 13.6f, 50.0f, -1}));
    EXPECT_EQ(bad.Load, 255); // negative: no percentage
    EXPECT_EQ(Parse("(219.0 219.0 220.0 999 50.0 13.6 25.0 00000000\r").Load, 255);

    // Cut at a zero byte: what is missing is not a number, nothing is read past it.
    const TUpsStatus cut = Parse(std::string("(219.0 219.0 22\0"
                                             "0.0 025",
                                             23));
    EXPECT_EQ(Volts(cut), (std::vector<float>{219.0f, 219.0f, -1, -1, -1, -1}));
    EXPECT_EQ(cut.Load, 255);
    EXPECT_EQ(cut.Flags, 0);
}

TEST(MegatecParse, RegulationFromTheBitOrFromTheVoltageDifference) {
    EXPECT_EQ(Flags("200.0", "220.0", "00100000"), 0x0204);
    EXPECT_EQ(Flags("240.0", "220.0", "00100000"), 0x0208);
    EXPECT_EQ(Flags("240.0", "220.0", "00000000"), 0);
    EXPECT_EQ(Flags("240.0", "228.0", "00000000", 10), 0x0208);
    EXPECT_EQ(Flags("240.0", "228.0", "00100000", 10), 0x0208);
    EXPECT_EQ(Flags("238.0", "228.0", "00000000", 10), 0x0208); // exactly the difference
    EXPECT_EQ(Flags("225.0", "228.0", "00100000", 10), 0);
    EXPECT_EQ(Flags("210.0", "228.0", "00000000", 10), 0x0204);
    EXPECT_EQ(Flags("?????", "228.0", "00000000", 10), 0); // garbage is no evidence
}

TEST(MegatecParse, RatingAndInfoLines) {
    TUpsRating r{};
    ParseRatingLine("#22O.0 x12 024.0 50.0\r", r);
    EXPECT_EQ((std::vector<float>{r.Voltage, r.BatteryVoltage, r.Frequency}),
              (std::vector<float>{-1, 24.0f, 50.0f}));
    EXPECT_EQ(r.Current, -1);
    TUpsInfo info{};
    ParseInfoLine(InfoLine, info);
    EXPECT_EQ(info.Maker.View(), "MEGATEC        ");
    EXPECT_EQ(info.Version.View(), "V2.1      ");
    ParseInfoLine("#ACME", info);
    EXPECT_EQ(info.Maker.View(), "ACME");
    EXPECT_TRUE(info.Model.Empty());
}
