#include <gtest/gtest.h>

#include <cstring>

#include "common/commands.h"
#include "link_fixture.h"

namespace {

// An open driver whose log so far is known, so each test looks only at its own command.
struct OpenMon : LinkBench {
    std::size_t logStart = 0;
    std::uint64_t sleptStart = 0;
    OpenMon() {
        EXPECT_TRUE(mon.Open());
        logStart = Log().size();
        sleptStart = fp.clock.slept;
        fp.port.written.clear();
        fp.port.readSizes.clear();
    }
    std::string NewLog() const { return Log().substr(logStart); }
    std::uint64_t Slept() const { return fp.clock.slept - sleptStart; }
};

} // namespace

TEST(MegatecMon, StatusIsParsedWholeOrNotAtAll) {
    OpenMon m;
    m.mon.SetAltTransDiff(10);
    TUpsStatus status;
    std::memset(&status, 0x5A, sizeof status);
    const TUpsStatus before = status;
    const std::string short46 = StatusLine.substr(0, 45) + "\r";
    m.fp.port.replies = {short46};
    EXPECT_FALSE(m.mon.PerformCommand(CMD_STATUS, nullptr, &status, sizeof status));
    EXPECT_EQ(std::memcmp(&status, &before, sizeof status), 0);
    EXPECT_EQ(m.NewLog(),
              "#!Perform command (0):\r<<Q1\r>>" + short46 + "\r#?Answer error (0, 46, 46, 40)\r");

    // Answer in pieces of 10 bytes; the driver's own fields are written, the
    // evaluation's are left alone, and the time-out counts only idle steps.
    m.fp.port.pieceSize = 10;
    m.fp.port.replies = {"(240.0 219.0 228.0 025 50.0 13.6 25.0 00000001\r"};
    ASSERT_TRUE(m.mon.PerformCommand(CMD_STATUS, nullptr, &status, sizeof status));
    EXPECT_EQ(status.Flags, UPS_REGULATING | UPS_BUCK | UPS_BEEPER);
    EXPECT_EQ(status.Load, 25);
    EXPECT_EQ(status.BatteryCharge, 0x5A);
    EXPECT_EQ(std::memcmp(&status.BatteryStart, &before.BatteryStart, 16), 0);
    EXPECT_EQ(m.Slept(), 0u);
}

TEST(MegatecMon, NoAnswerWaitsTheTimeOutInIdleSteps) {
    OpenMon m;
    TUpsRating rating{};
    EXPECT_FALSE(m.mon.PerformCommand(CMD_RATING, nullptr, &rating, sizeof rating));
    EXPECT_EQ(m.Slept(), 2000u);
    EXPECT_EQ(m.NewLog(), "#!Perform command (10):\r<<F\r>>\r#?Answer error (2000, 0, 0, 0)\r");
    // Missing output or argument: nothing is sent.
    EXPECT_FALSE(m.mon.PerformCommand(CMD_INFO, nullptr, nullptr, 0));
    EXPECT_FALSE(m.mon.PerformCommand(CMD_STATUS, nullptr, &rating, sizeof rating));
    EXPECT_FALSE(m.mon.PerformCommand(CMD_SHUTDOWN, nullptr, nullptr, 0));
    EXPECT_FALSE(m.mon.PerformCommand(CMD_BEEPON, nullptr, nullptr, 0));
    EXPECT_EQ(m.fp.port.written, "F\r");
    // A write cut short or refused is a failure.
    m.fp.port.writeShort = 1;
    EXPECT_FALSE(m.mon.PerformCommand(CMD_TEST, nullptr, nullptr, 0));
    m.fp.port.writeOk = false;
    EXPECT_FALSE(m.mon.PerformCommand(CMD_TEST, nullptr, nullptr, 0));
    EXPECT_TRUE(m.NewLog().ends_with("<<T\r!?Write error (0, 1)\r#!Perform command (1):\r"
                                     "<<T\r!?Write error (1117, 0)\r"));
}

TEST(MegatecMon, StaleInputIsDrainedInBlocks) {
    OpenMon m;
    m.fp.port.incoming = std::string(1500, 'x');
    m.fp.port.incoming[10] = '\n';
    ASSERT_TRUE(m.mon.PerformCommand(CMD_CANCELTEST, nullptr, nullptr, 0));
    EXPECT_EQ(m.fp.port.readSizes, (std::vector<std::uint32_t>{1024, 476}));
    std::string drained = std::string(1500, 'x');
    drained.replace(10, 1, "[$0A]");
    EXPECT_EQ(m.NewLog(), "#!Perform command (8):\r?>" + drained + "\r<<CT\r");

    m.fp.port.incoming = "late";
    m.fp.port.readOk = false;
    EXPECT_TRUE(m.mon.PerformCommand(CMD_TEST, nullptr, nullptr, 0));
    EXPECT_TRUE(m.NewLog().ends_with("(1):\r?>\r!?Read error (995, 4)\r<<T\r"));
}

TEST(MegatecMon, OverflowingAnswerIsAReadError) {
    OpenMon m;
    TUpsInfo info{};
    m.fp.port.replies = {std::string(1100, '#')};
    EXPECT_FALSE(m.mon.PerformCommand(CMD_INFO, nullptr, &info, sizeof info));
    EXPECT_TRUE(m.NewLog().ends_with(
        ">>!?Read error (0, 1100, 1024)\r\r#?Answer error (2000, 1100, 0, 0)\r"));
    EXPECT_EQ(m.Slept(), 0u);
    // Filling the buffer piece by piece stops at the piece that no longer fits.
    m.fp.port.incoming.clear();
    m.fp.port.pieceSize = 600;
    m.fp.port.replies = {std::string(1300, '#')};
    EXPECT_FALSE(m.mon.PerformCommand(CMD_INFO, nullptr, &info, sizeof info));
    EXPECT_TRUE(m.NewLog().ends_with(
        "!?Read error (0, 600, 1024)\r\r#?Answer error (2000, 600, 600, 35)\r"));
    EXPECT_TRUE(info.Maker.Empty());
}

TEST(MegatecMon, CustomAnswerMustNotBeTheEchoAndIsCutToTheBuffer) {
    OpenMon m;
    char out[8];
    std::memset(out, '*', sizeof out);
    m.fp.port.replies = {"QGS\r"};
    EXPECT_FALSE(m.mon.PerformCommand(CMD_CUSTOM, "QGS", out, sizeof out));
    EXPECT_TRUE(m.NewLog().ends_with("<<QGS\r>>QGS\r\r#?Answer error (0, 4, 4)\r"));
    EXPECT_EQ(out[0], '*');
    m.fp.port.replies = {"(228.0 50.0\r"};
    ASSERT_TRUE(m.mon.PerformCommand(CMD_CUSTOM, "QGS", out, 6));
    EXPECT_STREQ(out, "(228.");
    EXPECT_EQ(out[6], '*');
    m.fp.port.replies = {"OK\r"};
    ASSERT_TRUE(m.mon.PerformCommand(CMD_CUSTOM, "QGS", out, sizeof out));
    EXPECT_STREQ(out, "OK\r");
}

TEST(MegatecMon, BeeperRequestsResolveAgainstTheLastStatus) {
    OpenMon m;
    m.mon.StatusRecord().Flags = UPS_BEEPER;
    EXPECT_TRUE(m.mon.ExecuteCommand(CMD_BEEPON, nullptr, nullptr));
    EXPECT_EQ(m.fp.port.written, "");
    EXPECT_TRUE(m.mon.ExecuteCommand(CMD_BEEPOFF, nullptr, nullptr));
    EXPECT_EQ(m.fp.port.written, "Q\r");
    m.mon.StatusRecord().Flags = UPS_STANDBY;
    EXPECT_TRUE(m.mon.ExecuteCommand(CMD_BEEPOFF, nullptr, nullptr));
    EXPECT_TRUE(m.mon.ExecuteCommand(CMD_BEEPON, nullptr, nullptr));
    EXPECT_EQ(m.fp.port.written, "Q\rQ\r");
    m.mon.Close();
    EXPECT_FALSE(m.mon.ExecuteCommand(CMD_BEEPON, nullptr, nullptr));
    TUpsRating rating{};
    TUpsInfo info{};
    EXPECT_FALSE(m.mon.Identify(rating, info));
    EXPECT_EQ(m.fp.port.written, "Q\rQ\r");
}
