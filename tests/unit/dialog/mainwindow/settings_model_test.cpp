#include "dialog/mainwindow/settings_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/files.h"
#include "dialog/module/ini_file.h"

namespace {

class SettingsModel : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kovrin_settings_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "Kovrin.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string Read() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    TMonitorSettings Load() {
        TIniFile ini(SystemFiles(), path_);
        return ReadMonitorSettings(ini);
    }
    std::filesystem::path dir_;
    std::string path_;
};

TSettingsInput Input(std::string min, std::string max) {
    return {1000, 600, 3000, 4000, "COM3", false, true, std::move(min), std::move(max), 15};
}

} // namespace

TEST_F(SettingsModel, AMissingFileGivesTheDefaults) {
    const TMonitorSettings m = Load();
    EXPECT_EQ(m.FormTop, 100);
    EXPECT_EQ(m.FormLeft, 100);
    EXPECT_EQ(m.Interval, 2500);
    EXPECT_EQ(m.FailInterval, 1000);
    EXPECT_EQ(m.StatInterval, 10000);
    EXPECT_EQ(m.TimeOut, 2000);
    EXPECT_EQ(m.Port, "COM1");
    EXPECT_TRUE(m.Dtr);
    EXPECT_TRUE(m.Rts);
    EXPECT_EQ(m.MinBattVoltage, 0.0f);
    EXPECT_EQ(m.MaxBattVoltage, 0.0f);
    EXPECT_EQ(m.AltTransDiff, 0);
}

TEST_F(SettingsModel, ValuesBelowTheirLimitsAreRaisedInOrder) {
    Write("[Main]\r\nInterval=100\r\nFailInterval=200\r\nStatInterval=300\r\nTimeOut=50\r\n");
    TMonitorSettings m = Load();
    EXPECT_EQ(m.Interval, 500);
    EXPECT_EQ(m.FailInterval, 500);
    EXPECT_EQ(m.StatInterval, 500);
    EXPECT_EQ(m.TimeOut, 1000);
    // The snapshot follows the interval as adjusted; above it, it stays.
    Write("[Main]\r\nInterval=3000\r\nStatInterval=1000\r\n");
    EXPECT_EQ(Load().StatInterval, 3000);
    Write("[Main]\r\nInterval=3000\r\nStatInterval=3001\r\nDTR=0\r\nRTS=7\r\nPort=COM9\r\n");
    m = Load();
    EXPECT_EQ(m.StatInterval, 3001);
    EXPECT_FALSE(m.Dtr);
    EXPECT_TRUE(m.Rts);
    EXPECT_EQ(m.Port, "COM9");
}

TEST_F(SettingsModel, AltTransDiffKeepsItsLowEightBits) {
    for (const auto& [text, value] : {std::pair{"0", 0}, {"25", 25}, {"300", 44}, {"x", 0}}) {
        Write(std::string("[Main]\r\nAltTransDiff=") + text + "\r\n");
        EXPECT_EQ(Load().AltTransDiff, value) << text;
    }
}

TEST_F(SettingsModel, ABatteryLimitThatIsNoNumberReadsAsZero) {
    for (const char* bad : {"abc", "13..6", "13,6", "1e39", "", "-"}) {
        Write(std::string("[Main]\r\nMinBattVoltage=") + bad + "\r\nMaxBattVoltage=13.66\r\n");
        const TMonitorSettings m = Load();
        EXPECT_EQ(m.MinBattVoltage, 0.0f) << bad;
        EXPECT_FLOAT_EQ(m.MaxBattVoltage, 13.66f);
    }
}

TEST_F(SettingsModel, WritesInItsOrderAndKeepsEveryOtherLine) {
    Write("; by hand\r\n[Main]\r\nDevLog=D:\\logs\\dev.log\r\nInterval=2500\r\n\r\n"
          "[Diagramm]\r\nBeginDate=01.01.26\r\n");
    TIniFile ini(SystemFiles(), path_);
    TMonitorSettings m = ReadMonitorSettings(ini);
    ASSERT_TRUE(TakeIntoMemory(m, Input("10.05", "13.66")).Ok);
    WriteMonitorSettings(ini, m, false, TWriteScope::Apply);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "; by hand\r\n[Main]\r\nDevLog=D:\\logs\\dev.log\r\nInterval=1000\r\n"
                      "FailInterval=600\r\nStatInterval=4000\r\nTimeOut=3000\r\nPort=COM3\r\n"
                      "DTR=0\r\nRTS=1\r\nMinBattVoltage=10.1\r\nMaxBattVoltage=13.7\r\n"
                      "AltTransDiff=0\r\n\r\n[Diagramm]\r\nBeginDate=01.01.26\r\n");

    // The destruction's writes: the position first, AltTransDiff as held while ticked.
    m.FormTop = -4;
    m.FormLeft = 1280;
    WriteMonitorSettings(ini, m, true, TWriteScope::Destruction);
    ASSERT_TRUE(ini.Save());
    const std::string text = Read();
    // New keys go after the section's last line; known ones are rewritten in place.
    EXPECT_NE(text.find("AltTransDiff=15\r\nFormTop=-4\r\nFormLeft=1280\r\n\r\n[Diagramm]"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[Diagramm]\r\nBeginDate=01.01.26\r\n"), std::string::npos);
}

TEST_F(SettingsModel, AVoltageIsStoredWithOneDecimalAndShownWithTwo) {
    TIniFile ini(SystemFiles(), path_);
    TMonitorSettings m = ReadMonitorSettings(ini);
    ASSERT_TRUE(TakeIntoMemory(m, Input("10.5", "13.66")).Ok);
    EXPECT_EQ(ShownVoltage(m.MaxBattVoltage), "13.66"); // as typed until the next opening
    WriteMonitorSettings(ini, m, false, TWriteScope::Apply);
    ASSERT_TRUE(ini.Save());
    const TMonitorSettings again = Load();
    EXPECT_EQ(ShownVoltage(again.MaxBattVoltage), "13.70");
    EXPECT_EQ(ShownVoltage(again.MinBattVoltage), "10.50");
    EXPECT_EQ(StoredVoltage(0), "0.0");
}

TEST_F(SettingsModel, TakingStopsAtAVoltageThatIsNoNumber) {
    TMonitorSettings m;
    m.MaxBattVoltage = 13.0f;
    m.AltTransDiff = 7;
    TTakeResult r = TakeIntoMemory(m, Input("", "14"));
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.BadText, "");
    EXPECT_FALSE(r.BadIsMax);
    // What came before the failing field is in memory, what comes after is not.
    EXPECT_EQ(m.Interval, 1000);
    EXPECT_EQ(m.Port, "COM3");
    EXPECT_FALSE(m.Dtr);
    EXPECT_EQ(m.MaxBattVoltage, 13.0f);
    EXPECT_EQ(m.AltTransDiff, 7);

    r = TakeIntoMemory(m, Input("10.2", "13..6"));
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.BadText, "13..6");
    EXPECT_TRUE(r.BadIsMax);
    EXPECT_FLOAT_EQ(m.MinBattVoltage, 10.2f);
    EXPECT_EQ(m.MaxBattVoltage, 13.0f);
    EXPECT_NE(NotANumberMessage("13..6").find("\"13..6\""), std::string::npos);

    r = TakeIntoMemory(m, Input("10.2", "1e39")); // pasted past the key filter
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(TakeIntoMemory(m, Input(" 10.2 ", "13.6")).Ok);
    EXPECT_EQ(m.AltTransDiff, 15);
}

TEST(SettingsKeys, TheVoltageFieldsTakeDigitsAndThePointOnly) {
    for (char c : std::string("0123456789."))
        EXPECT_TRUE(VoltageCharAllowed(c)) << c;
    for (char c : std::string("\b\r\n\t\x1b\x7f\x16 ,-+eE"))
        EXPECT_FALSE(VoltageCharAllowed(c)) << static_cast<int>(c);
    EXPECT_FALSE(VoltageCharAllowed('\xE0')); // a Cyrillic letter
}

TEST(SettingsPlacement, AWindowStaysWhereItWasUnlessItsCaptionIsOutOfReach) {
    const TScreenArea screen{0, 0, 1024, 768};
    auto at = [&](int l, int t) {
        const TPoint2 p = ReachablePosition(l, t, 487, 276, screen);
        return std::pair{p.X, p.Y};
    };
    EXPECT_EQ(at(100, 100), std::pair(100, 100));
    EXPECT_EQ(at(900, 700), std::pair(900, 700)); // partly off the screen, still reachable
    EXPECT_EQ(at(-400, 50), std::pair(-400, 50));
    EXPECT_EQ(at(3000, 100), std::pair(100, 100)); // on a screen that is gone
    EXPECT_EQ(at(100, -500), std::pair(100, 100));
    EXPECT_EQ(at(100, 760), std::pair(100, 100));
    EXPECT_EQ(at(-2147483647, 10), std::pair(100, 100));
    // A second screen left of the first one.
    const TPoint2 p = ReachablePosition(-1500, 10, 487, 276, {-1920, 0, 2944, 1080});
    EXPECT_EQ(p.X, -1500);
}
