#include "dialog/mainwindow/network_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/files.h"
#include "dialog/module/ini_file.h"
#include "monitor/app/ini_reader.h"

namespace {

class NetworkSettings : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kovrin_network_" +
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
    std::filesystem::path dir_;
    std::string path_;
};

TNetServerSettings Served() {
    TNetServerSettings s;
    s.Enabled = true;
    s.Listen = "127.0.0.1, 192.168.1.10";
    s.Port = 13493;
    s.UpsName = "nas-ups";
    s.User = "upsmon";
    s.Password = "p@ss#1!";
    return s;
}

} // namespace

TEST_F(NetworkSettings, WhatTheWindowWritesTheMonitorReadsBack) {
    Write("; by hand\r\n[Main]\r\nPort=COM2\r\nInterval=2500\r\n\r\n[Diagramm]\r\nBeginDate=1\r\n");
    {
        TIniFile ini(SystemFiles(), path_);
        EXPECT_EQ(ReadNetworkSettings(ini), TNetServerSettings{}) << "defaults without the keys";
        WriteNetworkSettings(ini, Served());
        ASSERT_TRUE(ini.Save());
    }
    const std::string text = Read();
    EXPECT_NE(text.find("NutServer=1\r\nNutListen=127.0.0.1, 192.168.1.10\r\nNutTcpPort=13493\r\n"
                        "NutUpsName=nas-ups\r\nNutUser=upsmon\r\nNutPassword=p@ss#1!\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("; by hand\r\n[Main]\r\nPort=COM2\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Diagramm]\r\nBeginDate=1"), std::string::npos);
    // The monitor's own reader, which matches a key at the start of any line.
    const TNetServerSettings monitor =
        NetServerSettingsFrom([&text](std::string_view key) { return FindIniValue(text, key); });
    EXPECT_EQ(monitor, Served());
    TIniFile again(SystemFiles(), path_);
    EXPECT_EQ(ReadNetworkSettings(again), Served());
    EXPECT_EQ(FindIniValue(text, "Port"), "COM2");
}

TEST_F(NetworkSettings, TheWindowRefusesWhatTheServerCouldNotUse) {
    TNetServerSettings s = Served();
    EXPECT_EQ(CheckNetworkSettings(s).Field, TNetworkField::None);
    s.Listen = "127.0.0.1, nas.local";
    TNetworkCheck c = CheckNetworkSettings(s);
    EXPECT_EQ(c.Field, TNetworkField::Listen);
    EXPECT_EQ(c.Message.substr(0, 11), "\"nas.local\"");
    s.Listen = " , ";
    EXPECT_EQ(CheckNetworkSettings(s).Field, TNetworkField::Listen);
    s.Listen = "1.1.1.1,1.1.1.2,1.1.1.3,1.1.1.4,1.1.1.5,1.1.1.6,1.1.1.7,1.1.1.8,1.1.1.9";
    EXPECT_EQ(CheckNetworkSettings(s).Message, "Не больше восьми адресов.");
    s = Served();
    s.UpsName = "my ups";
    EXPECT_EQ(CheckNetworkSettings(s).Field, TNetworkField::UpsName);
    s = Served();
    s.User = "";
    EXPECT_EQ(CheckNetworkSettings(s).Field, TNetworkField::User);
    s = Served();
    s.Password = "a;b";
    EXPECT_EQ(CheckNetworkSettings(s).Field, TNetworkField::Password);
    s.Password = "";
    EXPECT_EQ(CheckNetworkSettings(s).Field, TNetworkField::None) << "read-only sharing";
    // Switched off, the fields may stay half-done.
    s.Enabled = false;
    s.Listen = "nas";
    s.User = "";
    EXPECT_EQ(CheckNetworkSettings(s).Field, TNetworkField::None);
}

TEST_F(NetworkSettings, TheFirewallMattersBeyondTheLoopback) {
    TNetServerSettings s;
    EXPECT_FALSE(ListensBeyondThisComputer(s));
    s.Listen = "127.0.0.1, 127.0.1.1";
    EXPECT_FALSE(ListensBeyondThisComputer(s));
    s.Listen = "0.0.0.0";
    EXPECT_TRUE(ListensBeyondThisComputer(s));
    s.Listen = "127.0.0.1,192.168.1.10";
    EXPECT_TRUE(ListensBeyondThisComputer(s));
}
