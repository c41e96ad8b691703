#include <gtest/gtest.h>

#include <map>
#include <string>

#include "common/net_settings.h"
#include "monitor/app/mon_app.h"
#include "support/fake_platform.h"

TEST(NetSettings, TheMonitorReadsTheSixKeysWithTheirDefaults) {
    FakePlatform fp;
    TMonApp app(fp.platform);
    app.LoadSettings();
    const TNetServerSettings defaults = app.NetServerSettings();
    EXPECT_FALSE(defaults.Enabled);
    EXPECT_EQ(defaults.Listen, "127.0.0.1");
    EXPECT_EQ(defaults.Port, 3493);
    EXPECT_EQ(defaults.UpsName, "ups");
    EXPECT_EQ(defaults.User, "monuser");
    EXPECT_EQ(defaults.Password, "");

    // The monitor's reader takes a line that merely begins with a key: every key here must
    // find its own line, whatever the order of the lines.
    fp.dir.Write("Kovrin.ini", "[Main]\r\nNutUpsName=nas-ups\r\nNutPassword=s3cr#t!\r\n"
                               "NutUser=upsmon\r\nNutTcpPort=13493\r\nNutListen=0.0.0.0\r\n"
                               "NutServer=1\r\nPort=COM2\r\n");
    app.LoadSettings();
    const TNetServerSettings& s = app.NetServerSettings();
    EXPECT_TRUE(s.Enabled);
    EXPECT_EQ(s.Listen, "0.0.0.0");
    EXPECT_EQ(s.Port, 13493);
    EXPECT_EQ(s.UpsName, "nas-ups");
    EXPECT_EQ(s.User, "upsmon");
    EXPECT_EQ(s.Password, "s3cr#t!");
    EXPECT_EQ(app.Port(), "COM2") << "NutTcpPort is no Port line";
}

TEST(NetSettings, UnusableValuesTakeTheirDefaults) {
    std::map<std::string, std::string, std::less<>> file;
    const auto read = [&file](std::string_view key) {
        const auto it = file.find(key);
        return it == file.end() ? std::string() : it->second;
    };
    file = {{"NutServer", "yes"},
            {"NutTcpPort", "70000"},
            {"NutUpsName", "two words"},
            {"NutListen", "  "}};
    TNetServerSettings s = NetServerSettingsFrom(read);
    EXPECT_FALSE(s.Enabled);
    EXPECT_EQ(s.Port, 3493);
    EXPECT_EQ(s.UpsName, "ups") << "a name that a reply could not carry as one word";
    EXPECT_EQ(s.Listen, "127.0.0.1");
    file = {{"NutServer", "2"}, {"NutTcpPort", "0"}, {"NutUpsName", "UPS.1_a-b"}};
    s = NetServerSettingsFrom(read);
    EXPECT_TRUE(s.Enabled);
    EXPECT_EQ(s.Port, 3493);
    EXPECT_EQ(s.UpsName, "UPS.1_a-b");
    file = {{"NutTcpPort", "65535"}, {"NutUpsName", "a\r\nb"}};
    s = NetServerSettingsFrom(read);
    EXPECT_EQ(s.Port, 65535);
    EXPECT_EQ(s.UpsName, "ups");
}

TEST(NetSettings, AddressesAndTheListenList) {
    EXPECT_EQ(ParseIpv4("127.0.0.1"), 0x7F000001u);
    EXPECT_EQ(ParseIpv4("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseIpv4("0.0.0.0"), 0u);
    EXPECT_EQ(ParseIpv4("010.1.1.1"), 0x0A010101u) << "decimal, leading zeros allowed";
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.4 ", "a.b.c.d",
                            "1.2.3.0004", "-1.2.3.4", "::1", "localhost"})
        EXPECT_FALSE(ParseIpv4(bad)) << bad;
    EXPECT_EQ(FormatIpv4(0xC0A8010Au), "192.168.1.10");

    TListenList l = ParseListenList(" 127.0.0.1 , 192.168.1.5,,127.0.0.1, nas ,10.0.0.300");
    EXPECT_EQ(l.Addresses, (std::vector<std::uint32_t>{0x7F000001u, 0xC0A80105u}));
    EXPECT_EQ(l.Bad, (std::vector<std::string>{"nas", "10.0.0.300"}));
    l = ParseListenList("192.168.1.5, 0.0.0.0");
    EXPECT_EQ(l.Addresses, std::vector<std::uint32_t>{0u}) << "every address covers the rest";
    l = ParseListenList("1.0.0.1,1.0.0.2,1.0.0.3,1.0.0.4,1.0.0.5,1.0.0.6,1.0.0.7,1.0.0.8,1.0.0.9");
    EXPECT_EQ(l.Addresses.size(), MaxListenAddresses);
    EXPECT_EQ(l.Bad, std::vector<std::string>{"1.0.0.9"});
    EXPECT_TRUE(ParseListenList("").Addresses.empty());
}

TEST(NetSettings, WhatTheWindowAccepts) {
    EXPECT_TRUE(IsValidUpsName("ups"));
    EXPECT_FALSE(IsValidUpsName(""));
    EXPECT_FALSE(IsValidUpsName("my ups"));
    EXPECT_FALSE(IsValidUpsName(std::string(33, 'u')));
    EXPECT_TRUE(IsValidUserName("monuser"));
    EXPECT_FALSE(IsValidUserName(""));
    EXPECT_TRUE(IsValidPassword("")) << "empty: nobody logs in";
    EXPECT_TRUE(IsValidPassword("P@ss#w0rd!"));
    // What the monitor's settings reader or a client's one-word request would change.
    for (const char* bad : {"a b", "a;b", "=ab", "a\"b", "a\\b", "\xe0\xe1", "a\tb"}) {
        EXPECT_FALSE(IsValidPassword(bad)) << bad;
        EXPECT_FALSE(IsValidUserName(bad)) << bad;
    }
}
