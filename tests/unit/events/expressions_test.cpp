#include <gtest/gtest.h>

#include <string>

#include "monitor/events/expressions.h"
#include "support/fake_clock.h"

namespace {

TUpsStatus Load(std::uint8_t load) {
    TUpsStatus s{};
    s.Load = load;
    return s;
}

} // namespace

TEST(Macros, EveryMacroFormattedInPlace) {
    FakeClock clock;
    TUpsStatus s{};
    s.InputVoltage = 229.96f;
    s.OutputVoltage = 220.04f;
    s.BatteryVoltage = 13.5f;
    s.InputFaultVoltage = -1; // garbled
    s.InputFrequency = 49.95f;
    s.Temperature = 0.04f;
    s.Load = 255; // garbled
    s.BatteryCharge = 7;
    s.BatteryTime = 5.0 / 1440;
    EXPECT_EQ(SubstituteMacros("$INPUT|$OUTPUT|$BATT|$BATTERY|$FAIL|$FREQ|$TERM|$LOAD%|$CHARGE "
                               "$ACFTIME $input $$LOAD$LOAD",
                               s, clock),
              "230.0|220.0|13.50|13.50ERY|-1.0|50.0|0.0|255%|7 0:05:00 $input $255255");
    // Texts without a macro, Cyrillic included, pass unchanged.
    EXPECT_EQ(SubstituteMacros("Сбой $ питания $INPU", s, clock), "Сбой $ питания $INPU");

    std::string many;
    while (many.size() + 5 <= 255)
        many += "$LOAD";
    std::string expected;
    for (std::size_t i = 0; i < many.size() / 5; ++i)
        expected += "255";
    EXPECT_EQ(SubstituteMacros(many, s, clock), expected);
}

TEST(Expressions, FiresOnlyWhenTheConditionBecomesTrue) {
    EXPECT_TRUE(EvaluateExpression("%LOAD > 80", Load(75), Load(85)));
    EXPECT_FALSE(EvaluateExpression("%LOAD > 80", Load(85), Load(90)));
    // A garbled load is held as 255 and compared as such.
    EXPECT_TRUE(EvaluateExpression("%LOAD > 80", Load(40), Load(255)));

    TUpsStatus a{}, b{};
    a.BatteryCharge = 49;
    b.BatteryCharge = 50;
    EXPECT_TRUE(EvaluateExpression("%CHARGE = 50", a, b));
    EXPECT_FALSE(EvaluateExpression("%CHARGE = 50", b, b));

    a.BatteryTime = 4.0 / 1440;
    b.BatteryTime = 5.5 / 1440;
    EXPECT_TRUE(EvaluateExpression("%ACFTIME > 0.0035", a, b));

    a.InputVoltage = 200;
    b.InputVoltage = 170;
    EXPECT_TRUE(EvaluateExpression("%INPUT < 180", a, b));
    EXPECT_TRUE(EvaluateExpression("%INPUT <= 1.8e2 anything after", a, b));
    EXPECT_FALSE(EvaluateExpression("%INPUT<180", a, b));    // no operator word
    EXPECT_FALSE(EvaluateExpression(" %INPUT < 180", a, b)); // the name becomes the operator
    EXPECT_FALSE(EvaluateExpression("%input < 180", a, b));  // exact case only
    // An unknown variable is 0 on both sides, so it can never change.
    EXPECT_FALSE(EvaluateExpression("%VOLTS > -1", a, b));
}

TEST(Expressions, NumberReadWithPointAndUnreadableNumbersAreZero) {
    TUpsStatus a{}, b{};
    a.BatteryVoltage = 0;
    b.BatteryVoltage = 12.5f;
    EXPECT_TRUE(EvaluateExpression("%BATT > 12.4", a, b));
    EXPECT_TRUE(EvaluateExpression("%BATT > 12,4", a, b)); // "12,4" is not a number: 0
    EXPECT_FALSE(EvaluateExpression("%BATT > 12.6", a, b));
    // Out of range is not a number either: 0, not infinity.
    EXPECT_TRUE(EvaluateExpression("%BATT > 1e999", a, b));
    EXPECT_FALSE(EvaluateExpression("%BATT > 1e300", a, b));
    // A macro as the number: the output voltage formatted, or a time text that reads as 0.
    FakeClock clock;
    b.OutputVoltage = 12.0f;
    b.BatteryTime = 5.0 / 1440;
    EXPECT_TRUE(EvaluateExpression(SubstituteMacros("%BATT > $OUTPUT", b, clock), a, b));
    EXPECT_TRUE(EvaluateExpression(SubstituteMacros("%BATT > $ACFTIME", b, clock), a, b));
    // Only the first 50 characters of the number count.
    EXPECT_TRUE(EvaluateExpression("%BATT > " + std::string(49, '0') + "13", a, b));
    EXPECT_FALSE(CompareValues(6, 1, 1));
    EXPECT_FALSE(CompareValues(-1, 1, 1));
}

TEST(Expressions, ArbitraryTextNeverCrashesOrFires) {
    const TUpsStatus a{}, b{};
    for (const char* text : {"", " ", "      ", "%BATT", "%BATT ", "%BATT <", "%BATT <  ", "<",
                             "= ", "%%%%", "%BATT < < <"})
        EXPECT_FALSE(EvaluateExpression(text, a, b)) << text;
    std::string junk;
    for (int i = 1; i < 2000; ++i)
        junk += static_cast<char>((i * 37) % 255 + 1);
    EXPECT_FALSE(EvaluateExpression(junk, a, b));
    EXPECT_FALSE(EvaluateExpression("%LOAD " + std::string(5000, '>') + " 1", a, b));
}
