#include <gtest/gtest.h>

#include "link_fixture.h"

TEST(ComMon, NormalStartTracesEveryStepAndIdentifies) {
    LinkBench b;
    b.fp.port.replies = {InfoLine, RatingLine, InfoLine};
    ASSERT_TRUE(b.mon.Open());
    EXPECT_GE(b.fp.clock.slept, 2000u); // the settling wait
    TUpsRating rating{};
    TUpsInfo info{};
    ASSERT_TRUE(b.mon.Identify(rating, info));
    EXPECT_EQ(b.Log(), "\r=== Device log session [08.12.2026 12:00:00] ===\r"
                       "!!Port opened (COM1)\r!!Port timeouts set (2000)\r!!Port speed set (2400)\r"
                       "!!DTR set (1)\r!!RTS set (1)\r#!Port initialization finished\r"
                       "#!Perform command (9):\r<<I\r>>" +
                           InfoLine + "#!Perform command (10):\r<<F\r>>" + RatingLine +
                           "#!Perform command (9):\r<<I\r>>" + InfoLine);
    EXPECT_EQ(b.fp.port.written, "I\rF\rI\r");
    // The line as a Megatec UPS needs it, whatever the port held before.
    const LineConfig c = b.fp.port.config;
    EXPECT_EQ(c.BaudRate, 2400u);
    EXPECT_EQ(c.DataBits, 8);
    EXPECT_FALSE(c.Parity || c.TwoStopBits || c.FlowControl);
    EXPECT_TRUE(b.fp.port.dtr && b.fp.port.rts);
    EXPECT_EQ(b.fp.port.readInterval, 2000u);
    EXPECT_EQ(b.fp.port.openedName, "COM1");
    EXPECT_EQ(info.Model.View(), "UPS-1000  ");
    EXPECT_EQ(rating.Current, 0);
}

TEST(ComMon, OpenOnAnOpenPortDoesNothing) {
    LinkBench b;
    int settingsLoads = 0;
    ASSERT_TRUE(b.mon.Open());
    b.mon.SetSettingsHook([&settingsLoads] { ++settingsLoads; });
    const std::string log = b.Log();
    const std::uint64_t slept = b.fp.clock.slept;
    EXPECT_TRUE(b.mon.Open());
    EXPECT_EQ(b.Log(), log);
    EXPECT_EQ(settingsLoads, 0);
    EXPECT_EQ(b.fp.port.opens, 1);
    EXPECT_EQ(b.fp.clock.slept, slept);
}

TEST(ComMon, InvalidSpeedIsLoggedAndRefusedWithABox) {
    LinkBench b;
    b.mon.SetSpeed(2401); // closed: nothing at all
    EXPECT_TRUE(b.fp.desktop.boxes.empty());
    ASSERT_TRUE(b.mon.Open());
    b.mon.SetSpeed(2401);
    EXPECT_EQ(b.mon.Speed(), 2400u);
    EXPECT_EQ(b.fp.port.config.BaudRate, 2400u);
    EXPECT_NE(b.Log().find("#!Port initialization finished\r"), std::string::npos);
    EXPECT_TRUE(b.Log().ends_with("\r!?Invalid port speed (2401)\r")) << b.Log();
    ASSERT_EQ(b.fp.desktop.boxes.size(), 1u);
    EXPECT_EQ(b.fp.desktop.boxes[0].text, "Invalid speed specifyed");
    EXPECT_EQ(b.fp.desktop.boxes[0].caption, "Invalid operation");
    b.fp.port.setConfigOk = false;
    b.mon.SetSpeed(9600);
    EXPECT_EQ(b.mon.Speed(), 2400u);
    EXPECT_TRUE(b.Log().ends_with("!?Port speed set error (87, 9600)\r"));
    b.mon.SetPort("COM3");
    EXPECT_EQ(b.mon.Port(), "COM1");
    EXPECT_EQ(b.fp.desktop.boxes.size(), 2u);
}

TEST(ComMon, FailedOpenLeavesTheSessionOpenAndClosedSettersSilent) {
    LinkBench b;
    b.fp.port.openOk = false;
    EXPECT_FALSE(b.mon.Open());
    EXPECT_FALSE(b.mon.Opened());
    b.mon.SetDTR(0);
    b.mon.SetRTS(0);
    b.mon.Close();
    EXPECT_EQ(b.mon.DTR(), 1);
    EXPECT_EQ(b.mon.RTS(), 1);
    EXPECT_TRUE(b.Log().ends_with("] ===\r!?Port open error (2)\r")) << b.Log();
    // Failing line and time-out calls are logged or skipped; the opening still succeeds.
    b.fp.port.openOk = true;
    b.fp.port.linesOk = false;
    b.fp.port.timeoutsOk = false;
    ASSERT_TRUE(b.mon.Open());
    const std::string log = b.Log();
    EXPECT_NE(log.find("!!Port opened (COM1)\r!?Port timeouts set error (87, 2000)\r"
                       "!!Port speed set (2400)\r#!Port initialization finished\r"),
              std::string::npos)
        << log;
}
