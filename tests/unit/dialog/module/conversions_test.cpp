#include "dialog/module/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/datetime.h"

namespace {

const TLocaleFormats Russian{"dd.MM.yyyy", "H:mm:ss"};
const TLocaleFormats American{"M/d/yyyy", "h:mm:ss tt"};

double Time(int h, int m, int s) {
    return ((h * 60.0 + m) * 60.0 + s) / 86400.0;
}

} // namespace

TEST(Conversions, NumbersUseThePointAndFallBackOnAnythingElse) {
    EXPECT_DOUBLE_EQ(FloatWithDefault("13.6", -1), 13.6);
    EXPECT_DOUBLE_EQ(FloatWithDefault(" 220 ", -1), 220);
    EXPECT_DOUBLE_EQ(FloatWithDefault("13,6", -1), -1);
    EXPECT_DOUBLE_EQ(FloatWithDefault("1.2.3", -1), -1);
    EXPECT_DOUBLE_EQ(FloatWithDefault("", 7), 7);
}

TEST(Conversions, TimeOfDayWithOrWithoutSecondsAndItsLimits) {
    EXPECT_DOUBLE_EQ(TimeWithDefault("0:05:00", -1, Russian), Time(0, 5, 0));
    EXPECT_DOUBLE_EQ(TimeWithDefault("23:59:59", -1, Russian), Time(23, 59, 59));
    EXPECT_DOUBLE_EQ(TimeWithDefault("7:30", -1, Russian), Time(7, 30, 0));
    EXPECT_DOUBLE_EQ(TimeWithDefault(" 01:02:03 ", -1, Russian), Time(1, 2, 3));
    for (const char* bad :
         {"", "24:00:00", "12:60:00", "12:00:60", "12", "12:", "ab:cd", "1:2:3:4", "12:00:00x"})
        EXPECT_DOUBLE_EQ(TimeWithDefault(bad, -1, Russian), -1) << bad;
    EXPECT_DOUBLE_EQ(TimeWithDefault("1:15:00 PM", -1, American), Time(13, 15, 0));
    EXPECT_DOUBLE_EQ(TimeWithDefault("12:00:00 AM", -1, American), 0);
    EXPECT_DOUBLE_EQ(TimeWithDefault("13:00:00 PM", -1, American), -1);
}

// Some locales (Korean, Chinese of Taiwan) put the AM/PM marker first: a time shown in
// such a format reads back as the same time.
TEST(Conversions, TimeOfDayWithTheMarkerFirstReadsBackAsShown) {
    const TLocaleFormats markerFirst{"yyyy/MM/dd", "tt h:mm:ss"};
    for (int h = 0; h < 24; ++h) {
        const double t = Time(h, 5, 9);
        const std::string shown = FormatTimeOfDay(t, markerFirst);
        EXPECT_DOUBLE_EQ(TimeWithDefault(shown, -1, markerFirst), t) << shown;
    }
    EXPECT_EQ(FormatTimeOfDay(Time(13, 5, 9), markerFirst), "PM 1:05:09");
    EXPECT_DOUBLE_EQ(TimeWithDefault(" am 12:30 ", -1, markerFirst), Time(0, 30, 0));
    for (const char* bad : {"PM 13:00:00", "PM 1:00:00 PM", "AM PM 1:00", "PM", "PM1"})
        EXPECT_DOUBLE_EQ(TimeWithDefault(bad, -1, markerFirst), -1) << bad;
}

TEST(Conversions, DatesInTheOrderOfTheShortFormatWithTwoDigitYearsNearNow) {
    EXPECT_DOUBLE_EQ(DateWithDefault("08.12.2026", -1, 2026, Russian), DaysFromCivil(2026, 12, 8));
    EXPECT_DOUBLE_EQ(DateWithDefault("01.01.04", -1, 2026, Russian), DaysFromCivil(2004, 1, 1));
    EXPECT_DOUBLE_EQ(DateWithDefault("01.01.99", -1, 2026, Russian), DaysFromCivil(1999, 1, 1));
    EXPECT_DOUBLE_EQ(DateWithDefault("29.02.2024", -1, 2026, Russian), DaysFromCivil(2024, 2, 29));
    EXPECT_DOUBLE_EQ(DateWithDefault("5.3", -1, 2026, Russian), DaysFromCivil(2026, 3, 5));
    EXPECT_DOUBLE_EQ(DateWithDefault("12/8/2026", -1, 2026, American), DaysFromCivil(2026, 12, 8));
    for (const char* bad : {"", "29.02.2023", "32.01.2026", "01.13.2026", "00.01.2026", "1.1.1.1",
                            "a.b.c", "01.01.20266", "  .  .  "})
        EXPECT_DOUBLE_EQ(DateWithDefault(bad, -1, 2026, Russian), -1) << bad;
}

TEST(Conversions, IdentifierBeforeTheFirstColonAndBlank) {
    EXPECT_EQ(IdFromEntry("12: Тест 10 секунд"), 12);
    EXPECT_EQ(IdFromEntry("3: a: b"), 3);
    EXPECT_EQ(IdFromEntry(""), -1);
    EXPECT_EQ(IdFromEntry("12 Тест"), -1);
    EXPECT_EQ(IdFromEntry("12:Тест"), -1);
    EXPECT_EQ(IdFromEntry("x: Тест"), -1);
    EXPECT_EQ(IdFromEntry("99999999999: big"), -1);
}

TEST(Conversions, StampDigitsFromTheRight) {
    EXPECT_EQ(StampDigits("00", 5), "05");
    EXPECT_EQ(StampDigits("00", 123), "23");
    EXPECT_EQ(StampDigits("0000", 7), "0007");
    EXPECT_EQ(StampDigits("0000", 10), "0010");
    EXPECT_EQ(StampDigits("", 42), "");
}

TEST(Conversions, TimeOnBatteryShowsTheTimeOfDayOfAnyValue) {
    EXPECT_EQ(FormatTimeOfDay(Time(0, 12, 30), Russian), "0:12:30");
    EXPECT_EQ(FormatTimeOfDay(Time(0, 12, 30), {"dd.MM.yyyy", "HH:mm:ss"}), "00:12:30");
    EXPECT_EQ(FormatTimeOfDay(3 + Time(1, 0, 0), Russian),
              "1:00:00"); // days beyond the first drop out
    EXPECT_EQ(FormatTimeOfDay(Time(13, 5, 9), American), "1:05:09 PM");
    // Values no real time can have read as none, not as garbage.
    for (double bad : {-0.25, std::nan(""), std::numeric_limits<double>::infinity(), -1e300})
        EXPECT_EQ(FormatTimeOfDay(bad, Russian), "0:00:00") << bad;
    EXPECT_EQ(FormatTimeOfDay(1e300, Russian), "0:00:00");
    EXPECT_EQ(FormatTimeOfDay(2.0e6 + 0.5, Russian), "12:00:00");
}

TEST(Conversions, DatesFormattedInTheShortFormat) {
    EXPECT_EQ(FormatDate(DaysFromCivil(2004, 1, 1), Russian), "01.01.2004");
    EXPECT_EQ(FormatDate(DaysFromCivil(2004, 1, 1) + 0.75, {"dd.MM.yy", "H:mm:ss"}), "01.01.04");
    EXPECT_EQ(FormatDate(std::nan(""), Russian), "");
    EXPECT_EQ(FormatDate(1e12, Russian), "");
}

// The calendar's ends: the whole part of a value is its day, below 0 too.
TEST(Conversions, DatesOfTheFirstAndLastYearAndNoneBeyond) {
    const double first = static_cast<double>(DaysFromCivil(1, 1, 1));
    const double beyond = static_cast<double>(DaysFromCivil(10000, 1, 1));
    EXPECT_EQ(FormatDate(first, Russian), "01.01.0001");
    EXPECT_EQ(FormatDate(first - 0.5, Russian), "01.01.0001"); // its noon
    EXPECT_EQ(FormatDate(first - 1, Russian), "");
    EXPECT_EQ(FormatDate(beyond - 0.25, Russian), "31.12.9999");
    EXPECT_EQ(FormatDate(beyond, Russian), "");
}
