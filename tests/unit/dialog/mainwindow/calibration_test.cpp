#include "dialog/mainwindow/calibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/commands.h"
#include "dialog/mainwindow/settings_model.h"

namespace {

// Writes down what the calibration does, in order.
class TRecordingHost : public ICalibrationHost {
public:
    explicit TRecordingHost(const TMonitorSettings& s) : settings_(s) {}
    std::vector<std::string> Log;
    void PostSuspend(bool on) override { Log.push_back(on ? "suspend 1" : "suspend 0"); }
    void PostCommand(std::uint8_t c, std::string_view arg) override {
        Log.push_back("command " + std::to_string(c) + (arg.empty() ? "" : " " + std::string(arg)));
    }
    void PostApplySettings() override { Log.push_back("apply"); }
    void StoreMaxVoltage() override {
        Log.push_back("max " + StoredVoltage(settings_.MaxBattVoltage));
    }
    void StoreMinVoltage() override {
        Log.push_back("min " + StoredVoltage(settings_.MinBattVoltage));
    }
    void SetButtonCaption(std::string_view c) override {
        Log.push_back("button " + std::string(c));
    }
    void SetWindowCaption(std::string_view c) override {
        Log.push_back("caption " + std::string(c));
    }

private:
    const TMonitorSettings& settings_;
};

class Calibration : public ::testing::Test {
protected:
    TMonitorSettings settings;
    TRecordingHost host{settings};
    TCalibration calibration{settings, host};
};

} // namespace

TEST_F(Calibration, StartSuspendsTheMonitorTakesTheMaximumAndRunsTheLongTest) {
    settings.MinBattVoltage = 10.0f;
    ASSERT_TRUE(calibration.Start(13.62f));
    EXPECT_TRUE(calibration.Running());
    EXPECT_EQ(host.Log, (std::vector<std::string>{
                            "button Остановить",
                            "caption Tarvo [version 0.35b]: Калибровка батареи.",
                            "suspend 1",
                            "max 13.6",
                            "command 3 99",
                        }));
    EXPECT_FLOAT_EQ(settings.MaxBattVoltage, 13.62f);
    // A second start while it runs does nothing.
    host.Log.clear();
    EXPECT_FALSE(calibration.Start(13.0f));
    EXPECT_TRUE(host.Log.empty());
}

TEST_F(Calibration, NoStartWithoutABatteryReading) {
    for (float v : {0.0f, -1.0f, std::nanf(""), INFINITY}) {
        EXPECT_FALSE(calibration.Start(v)) << v;
        EXPECT_FALSE(calibration.Running());
    }
    EXPECT_TRUE(host.Log.empty());
    EXPECT_EQ(settings.MaxBattVoltage, 0.0f);
}

TEST_F(Calibration, TheLowWaterMarkIsWrittenAtOnce) {
    settings.MinBattVoltage = 12.0f;
    calibration.OnBatteryVoltage(11.0f); // idle: nothing
    EXPECT_EQ(settings.MinBattVoltage, 12.0f);
    ASSERT_TRUE(calibration.Start(13.6f));
    host.Log.clear();
    for (float v : {12.5f, 11.9f, 12.2f, 11.9f, 11.4f, 0.0f, std::nanf("")})
        calibration.OnBatteryVoltage(v);
    // Only readings below the mark count; a 0 is a UPS that reported none.
    EXPECT_EQ(host.Log, (std::vector<std::string>{"min 11.9", "min 11.4"}));
    EXPECT_FLOAT_EQ(settings.MinBattVoltage, 11.4f);
}

TEST_F(Calibration, StopCancelsTheTestResumesTheMonitorAndTakesTheLastVoltage) {
    settings.MinBattVoltage = 10.2f;
    ASSERT_TRUE(calibration.Start(13.6f));
    host.Log.clear();
    calibration.Stop(10.6f);
    EXPECT_FALSE(calibration.Running());
    EXPECT_EQ(host.Log, (std::vector<std::string>{"command 8", "suspend 0", "min 10.6", "apply",
                                                  "button Определить"}));
    // Idle: stopping again does nothing.
    host.Log.clear();
    calibration.Stop(9.0f);
    EXPECT_TRUE(host.Log.empty());
}

TEST_F(Calibration, AStopWithoutAReadingKeepsTheMinimum) {
    settings.MinBattVoltage = 10.7f;
    ASSERT_TRUE(calibration.Start(13.6f));
    host.Log.clear();
    calibration.Stop(0.0f);
    EXPECT_EQ(host.Log,
              (std::vector<std::string>{"command 8", "suspend 0", "apply", "button Определить"}));
    EXPECT_FLOAT_EQ(settings.MinBattVoltage, 10.7f);
    // And it starts again.
    EXPECT_TRUE(calibration.Start(13.5f));
}
