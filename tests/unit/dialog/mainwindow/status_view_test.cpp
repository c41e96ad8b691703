#include "dialog/mainwindow/status_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/messages.h"

TEST(StatusView, VoltageScalesFollowTheRatedVoltage) {
    const struct {
        float Rated;
        int Max;
    } cases[] = {{120, 150},    {139.9f, 150}, {140, 300}, {230, 300},
                 {259.9f, 300}, {260, 390},    {400, 600}};
    for (const auto& c : cases) {
        EXPECT_EQ(VoltageScale(c.Rated).Max, c.Max) << c.Rated;
        EXPECT_TRUE(VoltageScale(c.Rated).Reported);
    }
    EXPECT_EQ(VoltageScale(-1).Max, 300);
    EXPECT_FALSE(VoltageScale(-1).Reported);
    EXPECT_FALSE(VoltageScale(std::nanf("")).Reported);
    // An absurd rating gives a large scale, never an overflowed one.
    EXPECT_GT(VoltageScale(std::numeric_limits<float>::infinity()).Max, 0);
    EXPECT_GT(VoltageScale(3e38f).Max, 0);
}

TEST(StatusView, BatteryScalesFollowTheRatedBatteryVoltage) {
    const struct {
        float Rated;
        int Max;
    } cases[] = {{6, 12}, {10, 15}, {12, 15}, {13, 36}, {24, 36}, {30, 45}, {48, 72}};
    for (const auto& c : cases)
        EXPECT_EQ(BatteryScale(c.Rated).Max.value_or(-1), c.Max) << c.Rated;
    EXPECT_FALSE(BatteryScale(-1).Max.has_value());
    EXPECT_FALSE(BatteryScale(-1).Reported);
}

TEST(StatusView, FrequencyRangeIsTheRatedFrequencyPlusMinusFive) {
    EXPECT_DOUBLE_EQ(FrequencyRange(50).Min, 45);
    EXPECT_DOUBLE_EQ(FrequencyRange(50).Max, 55);
    EXPECT_DOUBLE_EQ(FrequencyRange(60).Min, 55);
    EXPECT_DOUBLE_EQ(FrequencyRange(60).Max, 65);
    EXPECT_FALSE(FrequencyRange(-1).Reported);
    EXPECT_FALSE(FrequencyRange(std::numeric_limits<float>::infinity()).Reported);
}

TEST(StatusView, BatteryLimitsAssumedOnlyWhenTheSettingsHoldNone) {
    const auto limits = DefaultBatteryLimits(12, 0, 0);
    ASSERT_TRUE(limits);
    EXPECT_FLOAT_EQ(limits->Min, 12.0f - 12.0f / 6.0f); // 10.00
    EXPECT_FLOAT_EQ(limits->Max, 12.0f + 12.0f / 8.0f); // 13.50
    EXPECT_FALSE(DefaultBatteryLimits(12, 10.5f, 0));
    EXPECT_FALSE(DefaultBatteryLimits(12, 0, 13.6f));
    EXPECT_FALSE(DefaultBatteryLimits(-1, 0, 0));
    EXPECT_FALSE(DefaultBatteryLimits(0, 0, 0));
    EXPECT_FALSE(DefaultBatteryLimits(std::nanf(""), 0, 0));
}

TEST(StatusView, IndicatorsLightByTheirBitsOnly) {
    auto lit = [](std::uint16_t flags) {
        std::string out;
        for (const TIndicatorDef& d : Indicators)
            if (IndicatorLit(d, flags)) out += std::string(d.Caption) + ";";
        return out;
    };
    EXPECT_EQ(lit(0x0021), "Сбой сети;");
    EXPECT_EQ(lit(0x0100), "Сигнал;");
    EXPECT_EQ(lit(0x00D2), "Разряд;Общий сбой;Тест;Выключение;");
    EXPECT_EQ(lit(0x0200), ""); // regulation alone lights nothing
    EXPECT_EQ(UpsTypeText(0x0021), "Stand By / Line interactive");
    EXPECT_EQ(UpsTypeText(0x0001), "Online");
}

TEST(StatusView, FieldsAndGaugesShowWhatCanBeShown) {
    EXPECT_EQ(FieldNumber(221.46f), "221.5");
    EXPECT_EQ(FieldNumber(-1), "-1.0");
    EXPECT_EQ(FieldNumber(std::nanf("")), "—");
    EXPECT_EQ(FieldNumber(std::numeric_limits<float>::infinity()), "—");
    EXPECT_EQ(GaugePercent(25), 25);
    EXPECT_EQ(GaugePercent(180), 100);
    EXPECT_EQ(GaugePercent(255), 0);
}

TEST(StatusView, LinkStatesCaptionsAndMessages) {
    const TLinkStateView up = LinkStateView(LINK_UP, false);
    EXPECT_TRUE(up.Up);
    EXPECT_EQ(up.Caption, "Tarvo [version 0.35b]");
    EXPECT_TRUE(up.Message.empty());

    const TLinkStateView lost = LinkStateView(LINK_NOANSWER, false);
    EXPECT_FALSE(lost.Up);
    EXPECT_EQ(lost.Caption, "Tarvo [version 0.35b]: Нет ответа от UPS.");
    EXPECT_EQ(lost.Message, "Нет ответа от UPS.");
    EXPECT_EQ(lost.MessageCaption, "Ошибка!");
    EXPECT_FALSE(lost.EndsCalibration);

    const TLinkStateView calibrated = LinkStateView(LINK_NOANSWER, true);
    EXPECT_TRUE(calibrated.EndsCalibration);
    EXPECT_EQ(calibrated.MessageCaption, "Внимание!");
    EXPECT_EQ(calibrated.Message,
              "UPS прекратил реагировать на запросы. Вероятно батарея истощилась и он "
              "отключился.\rКалибровка батареи успешно завершена.");

    const TLinkStateView port = LinkStateView(LINK_NOPORT, false);
    EXPECT_EQ(port.Caption, "Tarvo [version 0.35b]: Не удалось открыть порт.");
    EXPECT_EQ(port.Message, "Не удалось открыть порт.");

    const TLinkStateView odd = LinkStateView(7, true);
    EXPECT_FALSE(odd.Up);
    EXPECT_TRUE(odd.Caption.empty());
    EXPECT_TRUE(odd.Message.empty());
    EXPECT_FALSE(odd.EndsCalibration);
}
