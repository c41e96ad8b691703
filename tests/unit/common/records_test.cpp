#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/records.h"

namespace {

template <typename T> std::string Bytes(const T& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

template <typename T> T FromBytes(const std::string& bytes) {
    T record;
    std::memcpy(&record, bytes.data(), sizeof record);
    return record;
}

} // namespace

TEST(ShortString, CutsOnAssignmentAndKeepsTheBytesBehind) {
    TShortString<5> s;
    std::memset(&s, 'x', sizeof s);
    s = "COM10X";
    EXPECT_EQ(s.Length, 5);
    EXPECT_EQ(s.View(), "COM10");
    s = "AB";
    EXPECT_EQ(s.View(), "AB");
    EXPECT_EQ(std::string(s.Chars, 5), "ABM10"); // left-overs stay, the length decides
}

TEST(ShortString, ADamagedLengthNeverReadsPastTheArea) {
    TJournalRecord r;
    std::memset(&r, 0, sizeof r);
    r.Port.Length = 200; // as a damaged file may hold
    std::memcpy(r.Port.Chars, "COM1X", 5);
    EXPECT_EQ(r.Port.Size(), 5u);
    EXPECT_EQ(r.Port.View(), "COM1X");
}

TEST(Records, StatusRoundTripsThroughItsLittleEndianBytes) {
    TUpsStatus s{};
    s.InputVoltage = 219.0f;
    s.Load = 25;
    s.BatteryCharge = 100;
    s.Flags = 0x0209;
    s.BatteryStart = 46364.5;
    const std::string b = Bytes(s);
    ASSERT_EQ(b.size(), 44u);
    // 219.0f = 0x435B0000, stored low byte first.
    EXPECT_EQ(b.substr(0, 4), std::string("\x00\x00\x5B\x43", 4));
    EXPECT_EQ(static_cast<unsigned char>(b[24]), 25);
    EXPECT_EQ(static_cast<unsigned char>(b[26]), 0x09);
    EXPECT_EQ(static_cast<unsigned char>(b[27]), 0x02);
    const TUpsStatus back = FromBytes<TUpsStatus>(b);
    EXPECT_EQ(Bytes(back), b);
    const double start = back.BatteryStart; // packed field: copy before binding a reference
    EXPECT_EQ(start, 46364.5);
}

TEST(Records, EveryRecordRoundTripsWithItsTextsInPlace) {
    TEventRule rule{};
    rule.Id = 0x0102;
    rule.Source = 10;
    rule.Action = 9;
    rule.Parameter = "Батарея $BATT В";
    rule.Expression = "%BATT < 11.5";
    std::string b = Bytes(rule);
    EXPECT_EQ(b.substr(0, 4), std::string("\x02\x01\x0A\x09", 4));
    EXPECT_EQ(static_cast<unsigned char>(b[4]), 15); // Windows-1251: one byte per letter
    EXPECT_EQ(b.substr(261, 12), "%BATT < 11.5");
    EXPECT_EQ(Bytes(FromBytes<TEventRule>(b)), b);

    TCustomCommand cmd{};
    cmd.Id = 7;
    cmd.Code = 6;
    cmd.Description = "Выключить";
    cmd.Parameter = ".5 0010";
    b = Bytes(cmd);
    EXPECT_EQ(static_cast<unsigned char>(b[54]), 7);
    EXPECT_EQ(b.substr(55, 7), ".5 0010");
    EXPECT_EQ(Bytes(FromBytes<TCustomCommand>(b)), b);

    TJournalRecord j{};
    j.Kind = 2;
    j.Time = 46364.25;
    j.Port = "COM1";
    j.Text = "Сбой питающей сети.";
    b = Bytes(j);
    EXPECT_EQ(static_cast<unsigned char>(b[9]), 4);
    EXPECT_EQ(b.substr(10, 4), "COM1");
    EXPECT_EQ(static_cast<unsigned char>(b[15]), 19);
    EXPECT_EQ(Bytes(FromBytes<TJournalRecord>(b)), b);

    TStatRecord st{};
    st.Time = 46364.75;
    st.Status.Flags = UPS_ONBATTERY;
    b = Bytes(st);
    EXPECT_EQ(static_cast<unsigned char>(b[34]), 1);
    EXPECT_EQ(Bytes(FromBytes<TStatRecord>(b)), b);

    TUpsInfo info{};
    info.Maker = "SIMULATED CO.  ";
    info.Model = "UPSSIM-600";
    info.Version = "1.0.0     ";
    b = Bytes(info);
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 15);
    EXPECT_EQ(b.substr(17, 10), "UPSSIM-600");
    EXPECT_EQ(b.substr(28, 10), "1.0.0     ");

    TUpsRating rating{220.0f, 12.0f, 50.0f, -1};
    b = Bytes(rating);
    EXPECT_EQ(b.substr(12, 4), std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_EQ(Bytes(FromBytes<TUpsRating>(b)), b);
}
