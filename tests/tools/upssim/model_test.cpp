#include <gtest/gtest.h>

#include "ups_model.hpp"

using namespace upssim;

namespace {

bool bit(const UpsModel& m, StatusBit b) {
    return (m.status().bits & b) != 0;
}

Command cmd(const char* text) {
    return parse_command(text);
}

} // namespace

TEST(Model, PowerCutRunsOnBatteryAndDrains) {
    UpsModel m;
    EXPECT_FALSE(bit(m, kUtilityFail));
    EXPECT_TRUE(bit(m, kStandbyType));
    EXPECT_TRUE(bit(m, kBeeperOn));

    m.advance_to(10);
    m.set_mains(false);
    Status s = m.status();
    EXPECT_TRUE(s.bits & kUtilityFail);
    EXPECT_EQ(s.input_voltage, 0);
    EXPECT_EQ(s.fault_voltage, 0);
    EXPECT_EQ(s.output_voltage, 220.0);
    EXPECT_EQ(s.frequency, 50.0);

    m.advance_to(110); // 100 s at 0.01 V/s
    EXPECT_NEAR(m.battery(), 12.6, 1e-9);
    EXPECT_FALSE(m.battery_low());

    m.set_mains(true);
    EXPECT_FALSE(bit(m, kUtilityFail));
    EXPECT_EQ(m.status().fault_voltage, 220.0);
    m.advance_to(160); // charging at 0.002 V/s
    EXPECT_NEAR(m.battery(), 12.7, 1e-9);
}

TEST(Model, BatteryLowHasHysteresisAndExhaustionSwitchesOff) {
    ModelConfig c;
    c.drain_rate = 0.1;
    c.charge_rate = 0.01;
    UpsModel m(c);
    m.set_mains(false);

    // One big step must still stop at the thresholds: low at 26 s, cut-off at 31 s.
    m.advance_to(1000);
    EXPECT_TRUE(m.battery_low());
    EXPECT_FALSE(m.output_on());
    EXPECT_NEAR(m.battery(), 10.5, 1e-6);
    Status s = m.status();
    EXPECT_EQ(s.output_voltage, 0);
    EXPECT_EQ(s.load_percent, 0);
    EXPECT_FALSE(s.bits & kShutdownActive); // not a commanded shutdown
    auto notes = m.take_notes();
    ASSERT_GE(notes.size(), 3u);
    EXPECT_EQ(notes[1].text, "battery low");
    EXPECT_NEAR(notes[1].time, 26, 1e-6);
    EXPECT_EQ(notes[2].text, "output off (battery exhausted)");
    EXPECT_NEAR(notes[2].time, 31, 1e-6);

    m.set_mains(true); // output back at once, battery still low
    EXPECT_TRUE(m.output_on());
    m.advance_to(1000 + 99); // 10.5 + 0.99 = 11.49 V: still low
    EXPECT_TRUE(m.battery_low());
    m.advance_to(1000 + 101);
    EXPECT_FALSE(m.battery_low());
}

TEST(Model, BoostBuckAndTransferRanges) {
    UpsModel m;
    m.set_input_voltage(185);
    EXPECT_TRUE(bit(m, kAvrActive));
    EXPECT_NEAR(m.status().output_voltage, 185 * 1.12, 1e-9);

    m.set_input_voltage(250);
    EXPECT_TRUE(bit(m, kAvrActive));
    EXPECT_NEAR(m.status().output_voltage, 250 * 0.88, 1e-9);

    m.set_input_voltage(220);
    EXPECT_FALSE(bit(m, kAvrActive));
    EXPECT_EQ(m.status().output_voltage, 220);

    m.set_input_voltage(160); // too low to regulate: on battery
    Status s = m.status();
    EXPECT_TRUE(s.bits & kUtilityFail);
    EXPECT_FALSE(s.bits & kAvrActive);
    EXPECT_EQ(s.input_voltage, 160);
    EXPECT_EQ(s.fault_voltage, 160);
    EXPECT_EQ(s.output_voltage, 220);
    EXPECT_TRUE(m.discharging());
}

TEST(Model, ShutdownWithRestore) {
    UpsModel m;
    m.execute(cmd("S.5R0001"));
    EXPECT_TRUE(bit(m, kShutdownActive));
    m.advance_to(29.9);
    EXPECT_TRUE(m.output_on());
    m.advance_to(30);
    EXPECT_FALSE(m.output_on());
    EXPECT_EQ(m.status().output_voltage, 0);
    EXPECT_TRUE(bit(m, kShutdownActive));
    m.advance_to(89.9);
    EXPECT_FALSE(m.output_on());
    m.advance_to(90);
    EXPECT_TRUE(m.output_on());
    EXPECT_FALSE(bit(m, kShutdownActive));
}

TEST(Model, ShutdownRestoreWaitsForMains) {
    UpsModel m;
    m.set_mains(false);
    m.execute(cmd("S.2R0001"));
    m.advance_to(12);
    EXPECT_FALSE(m.output_on());
    m.advance_to(200); // restore delay over, but no mains
    EXPECT_FALSE(m.output_on());
    m.set_mains(true);
    EXPECT_TRUE(m.output_on());
}

TEST(Model, ShutdownWithoutRestoreStaysOffUntilMainsReturn) {
    UpsModel m;
    m.execute(cmd("S.2"));
    m.advance_to(1000);
    EXPECT_FALSE(m.output_on()); // mains were there all along: no return
    m.set_mains(false);
    m.advance_to(1010);
    EXPECT_FALSE(m.output_on());
    m.set_mains(true);
    EXPECT_TRUE(m.output_on());
}

TEST(Model, CancelStopsTheCountdown) {
    UpsModel m;
    m.execute(cmd("S01"));
    m.advance_to(30);
    m.execute(cmd("C"));
    EXPECT_FALSE(bit(m, kShutdownActive));
    m.advance_to(120);
    EXPECT_TRUE(m.output_on());
}

TEST(Model, SelfTestTiming) {
    UpsModel m;
    m.execute(cmd("T"));
    EXPECT_TRUE(bit(m, kTestInProgress));
    EXPECT_FALSE(bit(m, kUtilityFail)); // running on battery, but not a mains failure
    EXPECT_TRUE(m.discharging());
    m.advance_to(9.9);
    EXPECT_TRUE(bit(m, kTestInProgress));
    EXPECT_NEAR(m.battery(), 13.6 - 0.099, 1e-9);
    m.advance_to(10);
    EXPECT_FALSE(bit(m, kTestInProgress));

    m.execute(cmd("T02"));
    m.advance_to(10 + 119);
    EXPECT_TRUE(m.testing());
    m.advance_to(10 + 120);
    EXPECT_FALSE(m.testing());

    m.execute(cmd("T"));
    m.execute(cmd("CT"));
    EXPECT_FALSE(m.testing());

    m.execute(cmd("T"));
    m.set_mains(false); // a real failure ends the test
    EXPECT_FALSE(m.testing());
    m.execute(cmd("T")); // and none starts on battery
    EXPECT_FALSE(m.testing());
}

TEST(Model, TestUntilLowEndsAtBatteryLow) {
    ModelConfig c;
    c.drain_rate = 0.1;
    UpsModel m(c);
    m.execute(cmd("TL"));
    m.advance_to(25.9);
    EXPECT_TRUE(m.testing());
    m.advance_to(26.1);
    EXPECT_FALSE(m.testing());
    EXPECT_TRUE(m.battery_low());
    EXPECT_TRUE(m.output_on());
    m.execute(cmd("TL")); // refused with a low battery
    EXPECT_FALSE(m.testing());
}

TEST(Model, BeeperToggles) {
    UpsModel m;
    m.execute(cmd("Q"));
    EXPECT_FALSE(bit(m, kBeeperOn));
    m.execute(cmd("Q"));
    EXPECT_TRUE(bit(m, kBeeperOn));
}
