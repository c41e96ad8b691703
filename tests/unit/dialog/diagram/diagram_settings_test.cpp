#include "dialog/diagram/diagram_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/datetime.h"
#include "common/files.h"
#include "dialog/module/ini_file.h"

namespace {

const TLocaleFormats Russian;

class DiagramSettings : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kovrin_diagramm_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "Kovrin.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    TDiagramSettings Load() {
        TIniFile ini(SystemFiles(), path_);
        return ReadDiagramSettings(ini, 2026, Russian);
    }
    std::filesystem::path dir_;
    std::string path_;
};

} // namespace

TEST_F(DiagramSettings, DefaultsWithoutTheSection) {
    Write("[Main]\r\nPort=COM2\r\n");
    const TDiagramSettings s = Load();
    EXPECT_EQ(s.BeginDate, "01.01.04");
    EXPECT_EQ(s.BeginTime, "00:00:00");
    EXPECT_EQ(s.Length, 0);
    EXPECT_EQ(s.Visible, (TSeriesFlags{true, true, true, false, true, false}));
}

TEST_F(DiagramSettings, WrittenInTheSectionAndReadBackLeavingTheRestAlone) {
    const std::string others = "; mine\r\n[Main]\r\nPort=COM2\r\nInterval = 2500\r\n\r\n"
                               "[Diagramm]\r\nColour=blue\r\n";
    Write(others);
    TDiagramSettings s;
    s.BeginDate = "14.03.26";
    s.BeginTime = "06:30:00";
    s.Length = 7;
    s.Visible = {false, true, false, true, false, true};
    {
        TIniFile ini(SystemFiles(), path_);
        WriteDiagramSettings(ini, s);
        ASSERT_TRUE(ini.Save());
    }
    EXPECT_EQ(Read(), "; mine\r\n[Main]\r\nPort=COM2\r\nInterval = 2500\r\n\r\n"
                      "[Diagramm]\r\nColour=blue\r\nBeginDate=14.03.26\r\nBeginTime=06:30:00\r\n"
                      "Length=7\r\nInpV=0\r\nOutV=1\r\nBatV=0\r\nFreq=1\r\nLoad=0\r\nCharg=1\r\n");
    const TDiagramSettings back = Load();
    EXPECT_EQ(back.BeginDate, s.BeginDate);
    EXPECT_EQ(back.BeginTime, s.BeginTime);
    EXPECT_EQ(back.Length, 7);
    EXPECT_EQ(back.Visible, s.Visible);
}

TEST_F(DiagramSettings, ValuesTheFieldsCannotTakeFallBack) {
    for (const char* length : {"8", "-1", "abc", "2147483648"}) {
        Write(std::string("[Diagramm]\r\nLength=") + length + "\r\n");
        EXPECT_EQ(Load().Length, 0) << length;
    }
    for (const char* date : {"31.02.05", "hello", "", "  .  .  "}) {
        Write(std::string("[Diagramm]\r\nBeginDate=") + date + "\r\nBeginTime=25:00:00\r\n");
        const TDiagramSettings s = Load();
        EXPECT_EQ(s.BeginDate, "01.01.04") << date;
        EXPECT_EQ(s.BeginTime, "00:00:00");
    }
    // Other spellings of a good date or time are brought into the fields' two-digit form.
    Write("[Diagramm]\r\nBeginDate=5.3.2019\r\nBeginTime=7:05\r\n");
    EXPECT_EQ(Load().BeginDate, "05.03.19");
    EXPECT_EQ(Load().BeginTime, "07:05:00");
}

TEST(DiagramMasks, DatesAndTimesInTheMasksForm) {
    const double day = static_cast<double>(DaysFromCivil(2019, 3, 5));
    EXPECT_EQ(MaskDateText(day + 0.7, Russian), "05.03.19");
    const TLocaleFormats us{"M/d/yyyy", "h:mm:ss tt"};
    EXPECT_EQ(MaskDateText(day, us), "03/05/19");
    EXPECT_EQ(DateSeparator(us), '/');
    EXPECT_EQ(MaskTimeText(0.75, us), "18:00:00"); // the mask has no AM/PM: 24 hours
    EXPECT_EQ(MaskTimeText(day + (9 * 3600 + 5 * 60 + 3) / 86400.0, Russian), "09:05:03");
    EXPECT_EQ(MaskTimeText(std::numeric_limits<double>::quiet_NaN(), Russian), "00:00:00");
}
