#include <gtest/gtest.h>

#include <string>

#include "common/files.h"
#include "monitor/app/ini_reader.h"
#include "support/fake_platform.h"

using namespace std::string_literals;

TEST(IniReader, FindsTheKeyInEveryLineFormTheDialogOrAPersonWrites) {
    EXPECT_EQ(FindIniValue("[Main]\r\nPort = COM3 ; comment\r\n", "Port"), "COM3");
    EXPECT_EQ(FindIniValue("port==COM3\r\n", "Port"), "COM3");
    EXPECT_EQ(FindIniValue("\t  PORT\tCOM3", "port"), "COM3");
    // Only the first word is upper-cased: the value keeps its case.
    EXPECT_EQ(FindIniValue("port=com3", "Port"), "com3");
    // A key matches any line that merely starts with it, and the first such line wins.
    EXPECT_EQ(FindIniValue("PORTABLE=1\r\nPort=COM2\r\n", "Port"), "ABLE=1");
    EXPECT_EQ(FindIniValue("Port=COM2\r\nPort=COM3\r\n", "Port"), "COM2");
    // A comment line, an empty value and trailing separators.
    EXPECT_EQ(FindIniValue("; Port=COM9\r\nPort=COM4 \t= \r\n", "Port"), "COM4");
    EXPECT_EQ(FindIniValue("DevLog=\r\nPort=COM1\r\n", "DevLog"), "");
    EXPECT_EQ(FindIniValue("DevLog=D:\\logs\\dev.log\r\n", "DevLog"), "D:\\logs\\dev.log");
    EXPECT_EQ(FindIniValue("Interval=100\r\n", "Port"), "");
    // The key is compared as a whole prefix, not only its first word.
    EXPECT_EQ(FindIniValue("Max BattVoltage=1\r\nMaxBattVoltage=13.5", "MaxBattVoltage"), "13.5");
}

TEST(IniReader, AcceptsEveryLineEndAndNulBytes) {
    const std::string mixed = "A=1\nPort=COM4\rB=2\r\n\r\nC=3";
    EXPECT_EQ(FindIniValue(mixed, "Port"), "COM4");
    EXPECT_EQ(FindIniValue(mixed, "B"), "2");
    EXPECT_EQ(FindIniValue(mixed, "C"), "3");
    // NUL is a separator like a blank: before, after and inside the key's line.
    EXPECT_EQ(FindIniValue("\0\0Port\0COM3\0\0\r\n"s, "Port"), "COM3");
    EXPECT_EQ(FindIniValue("X=\0\r\nPort=CO\0M3"s, "Port"), "CO\0M3"s);
    EXPECT_EQ(FindIniValue("\0\0\0"s, "Port"), "");
    EXPECT_EQ(FindIniValue("", "Port"), "");
}

TEST(IniReader, QuotedValuesRunOverLinesUntilTheClosingQuote) {
    EXPECT_EQ(FindIniValue("Msg=\"one two\"\r\n", "Msg"), "one two");
    EXPECT_EQ(FindIniValue("Msg=\"\"\r\n", "Msg"), "");
    // A lone quote both opens and closes the value.
    EXPECT_EQ(FindIniValue("Msg=\"\r\nnext\"\r\n", "Msg"), "");
    // Each following line up to and including its first quote; the rest of that line goes.
    EXPECT_EQ(FindIniValue("Msg=\"one\r\n\r\ntwo\r\nthree\" rest\r\nPort=COM1\r\n", "Msg"),
              "one\r\n\r\ntwo\r\nthree");
    // A comment is cut even inside the quotes, so this value goes on to the next line.
    EXPECT_EQ(FindIniValue("Msg=\"a;b\"\r\nc\" d\r\n", "Msg"), "a\r\nc");
    // A file ending inside the quotes gives everything after the opening quote.
    EXPECT_EQ(FindIniValue("Msg=\"abc\r\ndef", "Msg"), "abc\r\ndef");
    EXPECT_EQ(FindIniValue("Msg=\"abc ", "Msg"), "abc");
    // A quote that does not open the value means nothing.
    EXPECT_EQ(FindIniValue("Msg=a\"b\r\nc\"\r\n", "Msg"), "a\"b");
}

TEST(IniReader, LongLinesAreCutAndAnUnclosedQuoteStaysBounded) {
    // The first 255 characters of a line count; the rest of it is not a new line.
    const std::string longValue(300, 'Y');
    EXPECT_EQ(FindIniValue("Port=" + longValue + "\r\n", "Port"), std::string(250, 'Y'));
    const std::string hidden = "A=" + std::string(260, 'x') + "Port=COM7\r\nPort=COM5\r\n";
    EXPECT_EQ(FindIniValue(hidden, "Port"), "COM5");
    const std::string edge = "A=" + std::string(253, 'x') + "Port=COM7\r\nPort=COM5\r\n";
    EXPECT_EQ(FindIniValue(edge, "Port"), "COM5");

    // A quote that never closes in a big file: the value stops growing at 255 characters
    // (254 after the opening quote) instead of swallowing the file.
    std::string big = "Msg=\"start\r\n";
    for (int i = 0; i < 20000; ++i)
        big += "line of text without a quote\r\n";
    const std::string value = FindIniValue(big, "Msg");
    EXPECT_EQ(value.size(), 254u);
    EXPECT_EQ(value.substr(0, 7), "start\r\n");
    // Cut before its closing quote: nothing more is dropped from the end.
    const std::string cut =
        "Msg=\"" + std::string(240, 'a') + "\r\n" + std::string(20, 'b') + "\"\r\n";
    EXPECT_EQ(FindIniValue(cut, "Msg"), std::string(240, 'a') + "\r\n" + std::string(12, 'b'));
}

TEST(IniReader, ReadsTheFileAnewForEveryKeyAndToleratesItsAbsence) {
    TempDir dir;
    IFileSystem& files = SystemFiles();
    EXPECT_EQ(ReadIniValue(files, dir.File("Kovrin.ini"), "Port"), "");
    EXPECT_EQ(ReadIniValue(files, dir.Path(), "Port"), "") << "a directory is no file";

    dir.Write("Kovrin.ini", "[Main]\r\nPort=COM3\r\n");
    EXPECT_EQ(ReadIniValue(files, dir.File("Kovrin.ini"), "Port"), "COM3");
    dir.Write("Kovrin.ini", "[Main]\r\nPort=COM8\r\n");
    EXPECT_EQ(ReadIniValue(files, dir.File("Kovrin.ini"), "Port"), "COM8");

    // A large file is read block by block; a line across a block boundary stays whole.
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += "FormTop=" + std::to_string(i) + "\r\n";
    big += "Interval=1234\r\n";
    dir.Write("Kovrin.ini", big);
    EXPECT_EQ(ReadIniValue(files, dir.File("Kovrin.ini"), "Interval"), "1234");
    EXPECT_EQ(ReadIniValue(files, dir.File("Kovrin.ini"), "FormTop"), "0");
}
