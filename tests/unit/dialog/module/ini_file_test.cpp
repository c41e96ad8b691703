#include "dialog/module/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/files.h"

namespace {

class IniFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kovrin_ini_" +
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
    std::filesystem::path dir_;
    std::string path_;
};

} // namespace

TEST_F(IniFile, ReadsKeysOfTheirSectionOnlyWithoutRegardToCase) {
    Write("; settings\r\n[Main]\r\nPort = "
          "COM3\r\ninterval=1000\r\n\r\n[Diagramm]\r\nLength=3\r\nPort=COM9\r\n"
          "Quoted=\"a b\"\r\n");
    TIniFile ini(SystemFiles(), path_);
    EXPECT_EQ(ini.ReadString("Main", "Port", "COM1"), "COM3");
    EXPECT_EQ(ini.ReadInteger("MAIN", "Interval", 2500), 1000);
    EXPECT_EQ(ini.ReadInteger("Main", "Length", 0), 0);
    EXPECT_EQ(ini.ReadInteger("diagramm", "length", 0), 3);
    EXPECT_EQ(ini.ReadString("Diagramm", "Quoted", ""), "a b");
    EXPECT_EQ(ini.ReadInteger("Main", "Port", 7), 7); // no integer: the default
    EXPECT_TRUE(ini.ReadBool("Main", "Absent", true));
}

TEST_F(IniFile, WritesOnlyItsKeysAndKeepsEveryOtherLineAsItWas) {
    const std::string before =
        "; written by hand\r\n[Main]\r\nPort=COM3 ; mine\r\nDevLog=D:\\logs\\dev.log\r\n"
        "Interval=2500\r\n\r\n[Other]\r\nx = 1\r\n";
    Write(before);
    TIniFile ini(SystemFiles(), path_);
    ini.WriteInteger("Main", "Interval", 1000); // replaced in place
    ini.WriteInteger("Main", "FormTop", 120);   // new, at the end of its section
    ini.WriteString("Diagramm", "BeginDate", "01.01.04");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Read(),
              "; written by hand\r\n[Main]\r\nPort=COM3 ; mine\r\nDevLog=D:\\logs\\dev.log\r\n"
              "Interval=1000\r\nFormTop=120\r\n\r\n[Other]\r\nx = "
              "1\r\n\r\n[Diagramm]\r\nBeginDate=01.01.04\r\n");
    // A value cannot break out of its line.
    ini.WriteString("Main", "Port", "COM1\r\nInterval=1");
    ASSERT_TRUE(ini.Save());
    TIniFile again(SystemFiles(), path_);
    EXPECT_EQ(again.ReadString("Main", "Port", ""), "COM1  Interval=1");
    EXPECT_EQ(again.ReadInteger("Main", "Interval", 0), 1000);
}

TEST_F(IniFile, KeepsWhatAnotherWriterPutThereMeanwhile) {
    Write("[Main]\r\nInterval=2500\r\n");
    TIniFile main(SystemFiles(), path_);
    TIniFile diagram(SystemFiles(), path_);
    diagram.WriteInteger("Diagramm", "Length", 5);
    ASSERT_TRUE(diagram.Save());
    main.WriteInteger("Main", "Interval", 1000);
    ASSERT_TRUE(main.Save());
    TIniFile check(SystemFiles(), path_);
    EXPECT_EQ(check.ReadInteger("Diagramm", "Length", 0), 5);
    EXPECT_EQ(check.ReadInteger("Main", "Interval", 0), 1000);
}

TEST_F(IniFile, AMissingFileIsMadeAndAFileWithoutLineEndsIsExtended) {
    TIniFile ini(SystemFiles(), path_);
    EXPECT_EQ(ini.ReadString("Main", "Port", "COM1"), "COM1");
    ini.WriteString("Main", "Port", "COM2");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "[Main]\r\nPort=COM2\r\n");
    Write("[Main]\r\nPort=COM2");
    TIniFile last(SystemFiles(), path_);
    last.WriteBool("Main", "DTR", false);
    ASSERT_TRUE(last.Save());
    EXPECT_EQ(Read(), "[Main]\r\nPort=COM2\r\nDTR=0\r\n");
}

TEST_F(IniFile, AFileThatCannotBeWrittenIsLeftWholeAndTheWritesWait) {
    Write("[Main]\r\nPort=COM3\r\n");
    TIniFile ini(SystemFiles(), path_);
    ini.WriteString("Main", "Port", "COM4");
    // The temporary file's name taken by a directory: the replacement cannot be made.
    std::filesystem::create_directories(path_ + ".tmp");
    EXPECT_FALSE(ini.Save());
    EXPECT_EQ(Read(), "[Main]\r\nPort=COM3\r\n");
    EXPECT_TRUE(ini.HasPendingWrites());
    std::filesystem::remove(path_ + ".tmp");
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "[Main]\r\nPort=COM4\r\n");
}

// A file whose last line ends without a line feed (by hand, or with a lone CR) keeps that
// line whole when a key is added after it.
TEST(IniLineEnds, AKeyAddedAfterAnUnfinishedLastLineStartsALineOfItsOwn) {
    EXPECT_EQ(TIniFile::Apply("[Main]\r\nStatInterval=1000\r", "Main", "MaxBattVoltage", "13.6"),
              "[Main]\r\nStatInterval=1000\r\nMaxBattVoltage=13.6\r\n");
    EXPECT_EQ(TIniFile::Apply("[Main]\r\nStatInterval=1000", "Main", "MaxBattVoltage", "13.6"),
              "[Main]\r\nStatInterval=1000\r\nMaxBattVoltage=13.6\r\n");
    EXPECT_EQ(
        TIniFile::Lookup(TIniFile::Apply("[Main]\r\nA=1\r", "Main", "B", "2"), "Main", "A", ""),
        "1");
    // A new section after a file ending in a lone CR.
    EXPECT_EQ(TIniFile::Apply("x=1\r", "Main", "Port", "COM2"),
              "x=1\r\n\r\n[Main]\r\nPort=COM2\r\n");
}
