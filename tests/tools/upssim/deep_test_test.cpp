#include <gtest/gtest.h>

#include "options.hpp"
#include "protocol.hpp"
#include "ups_model.hpp"

using namespace upssim;

// A long test on a UPS whose test does not stop at battery low: the battery runs down to
// the cut-off and the output drops, as a battery calibration expects.
TEST(DeepTest, RunsPastBatteryLowUntilTheInverterGivesUp) {
    ModelConfig c;
    c.drain_rate = 0.1;
    c.test_stops_at_low = false;
    UpsModel m(c);
    m.execute(parse_command("T99"));
    ASSERT_TRUE(m.testing());
    m.advance_to(27); // 13.6 - 2.7 = 10.9: low, still testing
    EXPECT_TRUE(m.battery_low());
    EXPECT_TRUE(m.testing());
    EXPECT_TRUE(m.output_on());
    m.advance_to(31.5); // the cut-off at 31 s
    EXPECT_FALSE(m.testing());
    EXPECT_FALSE(m.output_on());
    EXPECT_NEAR(m.battery(), 10.5, 0.002); // and charging again on the mains
    // Mains were there all along: the output stays off until they fail and return.
    m.advance_to(1100);
    EXPECT_FALSE(m.output_on());
}

TEST(DeepTest, TheUsualTestStillEndsAtBatteryLow) {
    ModelConfig c;
    c.drain_rate = 0.1;
    UpsModel m(c);
    m.execute(parse_command("T99"));
    m.advance_to(1000);
    EXPECT_FALSE(m.testing());
    EXPECT_TRUE(m.output_on());
    EXPECT_GT(m.battery(), 10.9);
}

TEST(DeepTest, IsAnOption) {
    EXPECT_TRUE(parse_options({}).sim.model.test_stops_at_low);
    EXPECT_FALSE(parse_options({"--deep-test"}).sim.model.test_stops_at_low);
    EXPECT_THROW(parse_options({"--deep-test=1"}), std::invalid_argument);
}
