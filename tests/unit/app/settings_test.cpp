#include <gtest/gtest.h>

#include <string>

#include "monitor/app/mon_app.h"
#include "support/fake_platform.h"

namespace {

// Reads "Kovrin.ini" with the given lines through the settings hook's own operation.
void Load(FakePlatform& fp, TMonApp& app, const std::string& ini) {
    fp.dir.Write("Kovrin.ini", ini);
    app.LoadSettings();
}

} // namespace

TEST(Settings, EveryKeyTakesItsDefaultWithoutAFile) {
    FakePlatform fp;
    TMonApp app(fp.platform);
    EXPECT_EQ(app.IniPath(), fp.dir.File("Kovrin.ini"));
    app.LoadSettings();
    EXPECT_EQ(app.Port(), "COM1");
    EXPECT_EQ(app.DTR(), 1);
    EXPECT_EQ(app.RTS(), 1);
    EXPECT_EQ(app.Interval(), 2500);
    EXPECT_EQ(app.FailInterval(), 1000);
    EXPECT_EQ(app.StatInterval(), 10000);
    EXPECT_EQ(app.TimeOut(), 2000);
    EXPECT_EQ(app.MinBattVoltage(), 0.0f);
    EXPECT_EQ(app.MaxBattVoltage(), 0.0f);
    EXPECT_EQ(app.AltTransDiff(), 0);
    EXPECT_EQ(app.DevLogPath(), "");
    EXPECT_TRUE(fp.desktop.boxes.empty()) << "0/0 is \"not set\", not an error";
}

TEST(Settings, ValuesAreConvertedAndHeldToTheirLimits) {
    FakePlatform fp;
    TMonApp app(fp.platform);
    Load(fp, app,
         "[Main]\r\nPort = COM3 ; comment\r\nDTR=0\r\nRTS=false\r\nInterval=100\r\n"
         "FailInterval=499\r\nStatInterval=1000\r\nTimeOut=3000\r\nMinBattVoltage=10.5\r\n"
         "MaxBattVoltage=13.6\r\nAltTransDiff=300\r\nDevLog=\r\nFormTop=10\r\n");
    EXPECT_EQ(app.Port(), "COM3");
    EXPECT_EQ(app.DTR(), 0) << "applied at the next opening";
    EXPECT_EQ(app.RTS(), 1) << "only the text \"0\" lowers a line";
    EXPECT_EQ(app.Interval(), 500);
    EXPECT_EQ(app.FailInterval(), 500);
    EXPECT_EQ(app.StatInterval(), 1000) << "not below the Interval of 500";
    EXPECT_EQ(app.TimeOut(), 3000);
    EXPECT_EQ(app.MinBattVoltage(), 10.5f);
    EXPECT_EQ(app.MaxBattVoltage(), 13.6f);
    EXPECT_EQ(app.AltTransDiff(), 44);
    EXPECT_EQ(app.DevLogPath(), "");

    Load(fp, app, "Interval=2500\r\nStatInterval=1000\r\nAltTransDiff=-1\r\nDTR=\r\nRTS=0\r\n");
    EXPECT_EQ(app.StatInterval(), 2500);
    EXPECT_EQ(app.AltTransDiff(), 255);
    EXPECT_EQ(app.DTR(), 1);
    EXPECT_EQ(app.RTS(), 0);

    Load(fp, app, "StatInterval=0\r\n");
    EXPECT_EQ(app.StatInterval(), 0) << "0 switches the statistics off";
    Load(fp, app, "StatInterval=-5\r\nInterval=2.5e3\r\nTimeOut=99999999999\r\n");
    EXPECT_EQ(app.StatInterval(), -5);
    EXPECT_EQ(app.Interval(), 2500) << "not an integer: the default";
    EXPECT_EQ(app.TimeOut(), 2000) << "out of range: the default";
    EXPECT_TRUE(fp.desktop.boxes.empty());
}

TEST(Settings, AnInvertedVoltagePairIsRefusedWithoutHoldingTheLoop) {
    FakePlatform fp;
    TMonApp app(fp.platform);
    Load(fp, app, "MinBattVoltage=10.0\r\nMaxBattVoltage=13.5\r\n");
    ASSERT_TRUE(fp.desktop.boxes.empty());

    Load(fp, app, "MinBattVoltage=13.6\r\nMaxBattVoltage=10.0\r\n");
    ASSERT_EQ(fp.desktop.boxes.size(), 1u);
    const FakeDesktop::Box& box = fp.desktop.boxes[0];
    EXPECT_TRUE(box.async);
    EXPECT_EQ(box.owner, fp.queue.window);
    EXPECT_EQ(box.caption, "Invalid operation");
    EXPECT_EQ(box.text, "Min value mus be smaller then Max value");
    EXPECT_EQ(box.type, MBX_OK);
    EXPECT_EQ(app.MinBattVoltage(), 10.0f) << "the previous pair stays";
    EXPECT_EQ(app.MaxBattVoltage(), 13.5f);

    // Equal values are refused too; keys missing, or unparsable, mean 0/0 and pass quietly.
    app.SetBattVoltageRange(12.0f, 12.0f);
    EXPECT_EQ(fp.desktop.boxes.size(), 2u);
    Load(fp, app, "MinBattVoltage=10,5\r\nMaxBattVoltage=1e60\r\n");
    Load(fp, app, "");
    EXPECT_EQ(fp.desktop.boxes.size(), 2u);
    EXPECT_EQ(app.MinBattVoltage(), 10.0f);
    EXPECT_EQ(app.MaxBattVoltage(), 13.5f);
}
