#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/records.h"
#include "tools/dump/file_kind.h"
#include "tools/dump/record_format.h"

namespace {

std::string U8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

template <typename T> std::string Bytes(const T& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

// 12.05.2024 14:03:09
constexpr double RecordTime = 45424.0 + (14 * 3600 + 3 * 60 + 9) / 86400.0;

TJournalRecord Journal(std::uint8_t kind, const char* text) {
    TJournalRecord r;
    std::memset(&r, 0, sizeof r);
    r.Kind = kind;
    r.Time = RecordTime;
    r.Port = "COM1";
    r.Text = text;
    return r;
}

} // namespace

TEST(DumpRecords, JournalLineAndRow) {
    const std::string warning = Bytes(Journal(2, "Сбой питающей сети."));
    EXPECT_EQ(JournalLine(warning),
              U8(u8"12.05.2024 14:03:09  warning      COM1   Сбой питающей сети."));
    EXPECT_EQ(JournalCsv(warning), (std::vector<std::string>{"12.05.2024 14:03:09", "2", "COM1",
                                                             U8(u8"Сбой питающей сети.")}));
    // The end of a run has no text; an unknown kind shows its number.
    EXPECT_EQ(JournalLine(Bytes(Journal(0, ""))), "12.05.2024 14:03:09  end of run   COM1");
    EXPECT_EQ(JournalLine(Bytes(Journal(7, "x"))), "12.05.2024 14:03:09  7            COM1   x");
}

TEST(DumpRecords, JournalDamagedLengthsStayInTheirAreas) {
    TJournalRecord r = Journal(1, "");
    r.Port.Length = 200;
    std::memcpy(r.Port.Chars, "COM12", 5);
    r.Text.Length = 255;
    std::memset(r.Text.Chars, 'z', sizeof r.Text.Chars);
    const auto row = JournalCsv(Bytes(r));
    EXPECT_EQ(row[2], "COM12");
    EXPECT_EQ(row[3], std::string(100, 'z'));
}

TEST(DumpRecords, StatisticsLineAndRow) {
    TStatRecord r;
    std::memset(&r, 0, sizeof r);
    r.Time = RecordTime;
    r.Status.InputVoltage = 0;
    r.Status.InputFaultVoltage = 220.5f;
    r.Status.OutputVoltage = 219.9f;
    r.Status.BatteryVoltage = 13.6f;
    r.Status.InputFrequency = 50;
    r.Status.Temperature = 25.5f;
    r.Status.Load = 18;
    r.Status.BatteryCharge = 100;
    r.Status.Flags = 0x0209;
    r.Status.BatteryStart = 45424.0 + 14.0 / 24;
    r.Status.BatteryTime = 189.0 / 86400;
    EXPECT_EQ(StatsLine(Bytes(r)),
              "12.05.2024 14:03:09  in 0.0  fault 220.5  out 219.9  batt 13.60  freq 50.0  "
              "temp 25.5  load 18%  charge 100%  flags 0x0209 ONBATTERY|BUCK|REGULATING  "
              "battery since 12.05.2024 14:00:00  for 0:03:09");
    EXPECT_EQ(
        StatsCsv(Bytes(r)),
        (std::vector<std::string>{"12.05.2024 14:03:09", "0.0", "220.5", "219.9", "13.60", "50.0",
                                  "25.5", "18", "100", "521", "12.05.2024 14:00:00", "189"}));

    // On mains, and a load the UPS did not send as a number.
    r.Status.Load = 255;
    r.Status.Flags = 0;
    r.Status.BatteryStart = 0;
    r.Status.BatteryTime = 0;
    const std::string line = StatsLine(Bytes(r));
    EXPECT_NE(line.find("load -  charge 100%  flags 0x0000  battery since -  for 0:00:00"),
              std::string::npos)
        << line;
    const auto row = StatsCsv(Bytes(r));
    EXPECT_EQ(row[7], "255");
    EXPECT_EQ(row[10], "");
    EXPECT_EQ(row[11], "0");
}

TEST(DumpRecords, RuleLineAndRow) {
    TEventRule r;
    std::memset(&r, 'q', sizeof r); // left-overs behind the texts must not show
    r.Id = 4;
    r.Source = 10;
    r.Action = 9;
    r.Parameter = "Батарея, $BATT В";
    r.Expression = "%BATT < 11.5";
    EXPECT_EQ(RuleLine(Bytes(r)),
              U8(u8"id 4  source 10 Справедливость выражения  action 9 Сообщение в протокол  "
                 u8"parameter \"Батарея, $BATT В\"  expression \"%BATT < 11.5\""));
    EXPECT_EQ(RuleCsv(Bytes(r)),
              (std::vector<std::string>{"4", "10", U8(u8"Справедливость выражения"), "9",
                                        U8(u8"Сообщение в протокол"), U8(u8"Батарея, $BATT В"),
                                        "%BATT < 11.5"}));
    r.Source = 15;
    r.Action = 10;
    const auto row = RuleCsv(Bytes(r));
    EXPECT_EQ(row[2], "?");
    EXPECT_EQ(row[4], "?");
}

TEST(DumpRecords, CommandLineAndRow) {
    TCustomCommand c;
    std::memset(&c, 0, sizeof c);
    c.Id = 1;
    c.Code = 6;
    c.Description = "Выключить через 30 с";
    c.Parameter = ".5 0010";
    EXPECT_EQ(CommandLine(Bytes(c)),
              U8(u8"id 1  code 6 CMD_SHUTDOWNRESTORE  description \"Выключить через 30 с\"  "
                 u8"parameter \".5 0010\""));
    EXPECT_EQ(CommandCsv(Bytes(c)),
              (std::vector<std::string>{"1", "6", "CMD_SHUTDOWNRESTORE",
                                        U8(u8"Выключить через 30 с"), ".5 0010"}));
    c.Code = 14;
    EXPECT_EQ(CommandCsv(Bytes(c))[2], "?");
}

TEST(DumpRecords, KindsByNameAndOption) {
    EXPECT_EQ(KindByFileName("/x/y/KOVRIN.LGB")->Kind, FileKind::Journal);
    EXPECT_EQ(KindByFileName("stat.ups")->Kind, FileKind::Stats);
    EXPECT_EQ(KindByFileName("Events.UPS")->Kind, FileKind::Rules);
    EXPECT_EQ(KindByFileName("dir/custcmds.ups")->Kind, FileKind::Commands);
    EXPECT_EQ(KindByFileName("Kovrin.lgb.bak"), nullptr);
    EXPECT_EQ(KindByFileName("Stat.ups/other"), nullptr);
    EXPECT_EQ(KindByOption("--stats")->RecordSize, 52u);
    EXPECT_EQ(KindByOption("--csv"), nullptr);
}
