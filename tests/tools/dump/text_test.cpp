#include <gtest/gtest.h>

#include <cmath>
#include <iconv.h>
#include <string>

#include "tools/dump/cp1251.h"
#include "tools/dump/csv.h"
#include "tools/dump/text_fields.h"

namespace {

std::string U8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// The C library's own converter, as an independent reference for the table.
std::string IconvFromCp1251(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    const std::size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return "<undefined>";
    return std::string(out, sizeof out - outLeft);
}

} // namespace

TEST(DumpCp1251, RussianJournalTextBecomesUtf8) {
    // "Сбой питающей сети." as the monitor stores it.
    const std::string stored =
        "\xD1\xE1\xEE\xE9 \xEF\xE8\xF2\xE0\xFE\xF9\xE5\xE9 \xF1\xE5\xF2\xE8.";
    EXPECT_EQ(Cp1251ToUtf8(stored), U8(u8"Сбой питающей сети."));
    EXPECT_EQ(Cp1251ToUtf8("\xA8\xB8\xB9\x88\x96"), U8(u8"Ёё№€–"));
    EXPECT_EQ(Cp1251ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(DumpCp1251, EveryByteMatchesTheSystemConverter) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue; // no character in the code page
        const auto byte = static_cast<unsigned char>(b);
        EXPECT_EQ(Cp1251ToUtf8(std::string(1, static_cast<char>(byte))), IconvFromCp1251(byte))
            << "byte " << b;
    }
    EXPECT_EQ(Cp1251CodePoint(0x98), U'\u0098');
}

TEST(DumpCp1251, ControlBytesAreShownNotPrinted) {
    EXPECT_EQ(PrintableUtf8("a\r\nb\x7F"), "a\\x0D\\x0Ab\\x7F");
    EXPECT_EQ(PrintableUtf8(std::string("\0\xC0", 2)), U8(u8"\\x00А"));
    EXPECT_EQ(PrintableUtf8("C:\\Program Files"), "C:\\Program Files");
}

TEST(DumpCsv, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvField("COM1"), "COM1");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvRow({"1", "x,y", "", "\""}), "1,\"x,y\",,\"\"\"\"");
}

TEST(DumpTextFields, DatesAndSpans) {
    EXPECT_EQ(FormatDateTime(45424.5 + 7.0 / 86400), "12.05.2024 12:00:07");
    EXPECT_EQ(FormatDateTime(0), "30.12.1899 00:00:00");
    EXPECT_EQ(FormatDateTime(NAN), "?");
    EXPECT_EQ(FormatDateTime(1e300), "?");

    EXPECT_EQ(FormatDuration(187.0 / 86400), "0:03:07");
    EXPECT_EQ(FormatDuration(1.5), "36:00:00");
    EXPECT_EQ(FormatDuration(-61.0 / 86400), "-0:01:01");
    EXPECT_EQ(FormatDuration(INFINITY), "?");
    EXPECT_EQ(FormatDuration(1e200), "?");
    EXPECT_EQ(FormatSeconds(186.6 / 86400), "187");
}

TEST(DumpTextFields, FlagNamesAndPadding) {
    EXPECT_EQ(FormatFlagsHex(0x0209), "0x0209");
    EXPECT_EQ(FormatFlagNames(0x0209), "ONBATTERY|BUCK|REGULATING");
    EXPECT_EQ(FormatFlagNames(0), "");
    EXPECT_EQ(FormatFlagNames(0x8101), "ONBATTERY|BEEPER|0x8000");
    EXPECT_EQ(PadRight(U8(u8"ОК"), 4), U8(u8"ОК  ")); // characters, not bytes
    EXPECT_EQ(PadRight("COM10", 3), "COM10");
}
