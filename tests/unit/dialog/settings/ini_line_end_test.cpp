#include <gtest/gtest.h>

#include "dialog/module/ini_file.h"

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
