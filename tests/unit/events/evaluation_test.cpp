#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "evaluation_monitor.h"
#include "monitor/events/evaluation.h"

namespace {

using Lines = std::vector<std::string>;
const std::string Fail = "2:Сбой питающей сети.";
const std::string Back = "1:Работа питающей сети возобновлена.";
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

struct StatusEvaluation : ::testing::Test {
    FakePlatform fp;
    EvalMonitor mon{fp.platform};
    StatusEvaluation() {
        mon.dialogWindow_ = EvalMonitor::DialogWindow;
        mon.opened_ = true;
        mon.minBattVoltage_ = 10.0f;
        mon.maxBattVoltage_ = 13.5f;
        TakeJournal();
        fp.tray.calls.clear();
    }
    // The journal file's entries since the last call.
    Lines TakeJournal() {
        const Lines lines = JournalEntries(fp.dir.Read("Kovrin.lgb"));
        std::filesystem::remove(fp.dir.File("Kovrin.lgb"));
        return lines;
    }
    std::size_t StatusSends() const { return SentToDialog(fp.queue, TD_STATUS).size(); }
    void Poll(std::uint16_t flags, float battery = 13.0f, float input = 220.0f) {
        mon.polls.push_back(EvalMonitor::Reading{flags, battery, input});
        ASSERT_TRUE(mon.EvaluateStatus());
    }
};

} // namespace

TEST(Evaluation, ChargeBetweenTheLimits) {
    EXPECT_EQ(ComputeCharge(11.8f, 10.0f, 13.6f), 50);
    EXPECT_EQ(ComputeCharge(11.75f, 10.0f, 13.5f), 50);
    EXPECT_EQ(ComputeCharge(9.0f, 10.0f, 13.5f), 0);
    EXPECT_EQ(ComputeCharge(14.0f, 10.0f, 13.5f), 100);
    EXPECT_EQ(ComputeCharge(10.5f, 10.0f, 14.0f), 12); // 12.5: halves to the even neighbour
    EXPECT_EQ(ComputeCharge(11.5f, 10.0f, 14.0f), 38); // 37.5
    for (float v : {-1.0f, NaN})                       // garbled answers
        EXPECT_EQ(ComputeCharge(v, -5.0f, 13.5f), 0);
    EXPECT_EQ(ComputeCharge(12.0f, 12.0f, 12.0f), 0);
    EXPECT_EQ(ComputeCharge(12.0f, 13.5f, 10.0f), 0);

    float lo = 0, hi = 0;
    DefaultBatteryLimits(24.0f, lo, hi);
    EXPECT_EQ(lo, 20.0f);
    EXPECT_EQ(hi, 27.0f);
}

TEST(Evaluation, TimeOnBatteryStartsGrowsAcrossMidnightAndClears) {
    TUpsStatus s{};
    const auto check = [&s](double start, double time) {
        const double st = s.BatteryStart, tm = s.BatteryTime;
        EXPECT_EQ(st, start);
        EXPECT_NEAR(tm, time, 1e-9);
    };
    s.Flags = UPS_ONBATTERY;
    UpdateBatteryTime(s, 46364.99);
    check(46364.99, 0);
    UpdateBatteryTime(s, 46365.01);
    check(46364.99, 0.02);
    s.Flags = UPS_STANDBY;
    UpdateBatteryTime(s, 46365.02);
    check(0, 0);
    s.Flags = UPS_TEST; // a self-test alone runs the clock too
    UpdateBatteryTime(s, 46365.5);
    UpdateBatteryTime(s, 46365.75);
    check(46365.5, 0.25);
}

TEST(Evaluation, TransitionsPerBit) {
    const auto raised = [](std::uint16_t before, std::uint16_t now) {
        std::string out;
        const TransitionFlags t = ComputeTransitions(before, now);
        for (int i = 0; i < TransitionCount; ++i)
            if (t[i]) out += std::to_string(i) + " ";
        return out;
    };
    EXPECT_EQ(raised(0, 0x0209), "0 6 "); // on battery with the input bucked
    EXPECT_EQ(raised(0x0209, 0x0004), "1 4 7 ");
    EXPECT_EQ(raised(0x0012, 0), "3 9 ");
    EXPECT_EQ(raised(0x001F, 0x03FF), "");
    EXPECT_EQ(raised(0, 0x03E0), ""); // bits 5-9 raise nothing
}

TEST_F(StatusEvaluation, FirstPollOnBatteryJournalsRefreshesAndRunsTheRules) {
    mon.AddRule(EV_POWERFAIL, "on battery $CHARGE");
    mon.AddRule(EV_POWERRESTORE, "restored");
    mon.AddRule(EV_PROGRAMSTART, "start");
    mon.AddRule(15, "unknown source");
    Poll(UPS_ONBATTERY, 11.75f);
    EXPECT_EQ(TakeJournal(), (Lines{Fail, "4:on battery 50"}));
    const double start = mon.status_.BatteryStart;
    EXPECT_EQ(start, fp.clock.now);
    const auto status = SentToDialog(fp.queue, TD_STATUS);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0], std::string(reinterpret_cast<const char*>(&mon.status_), 44));
    ASSERT_EQ(fp.tray.calls.size(), 1u);
    EXPECT_EQ(fp.tray.calls[0].icon, "DC_050");
    EXPECT_EQ(fp.tray.calls[0].tip, "Питание от батареи. Заряд: 50%");
}

TEST_F(StatusEvaluation, OnlyAChangedStatusReachesDialogAndTray) {
    Poll(UPS_STANDBY);
    Poll(UPS_STANDBY);
    EXPECT_EQ(StatusSends(), 1u);
    Poll(UPS_STANDBY, 13.0f, 230.0f); // a change, but the icon stays as it is
    EXPECT_EQ(StatusSends(), 2u);
    EXPECT_EQ(fp.tray.calls.size(), 1u);
    Poll(UPS_ONBATTERY);
    fp.clock.Advance(1000);
    Poll(UPS_ONBATTERY); // the time on battery runs: a change at every poll
    EXPECT_EQ(StatusSends(), 4u);
    EXPECT_EQ(TakeJournal(), (Lines{Fail}));
}

TEST_F(StatusEvaluation, FailedPollKeepsStatusAndTransitionsUntilTheNextSuccess) {
    Poll(UPS_ONBATTERY);
    const TUpsStatus before = mon.status_;
    mon.polls.push_back(std::nullopt);
    EXPECT_FALSE(mon.EvaluateStatus());
    EXPECT_EQ(std::memcmp(&before, &mon.status_, sizeof before), 0);
    EXPECT_TRUE(mon.transitions_[TR_POWERFAIL]);
    Poll(0);
    EXPECT_TRUE(mon.transitions_[TR_POWERRESTORE]);
    EXPECT_EQ(TakeJournal(), (Lines{Fail, Back}));

    mon.opened_ = false;
    mon.polls.push_back(EvalMonitor::Reading{UPS_ONBATTERY});
    EXPECT_FALSE(mon.EvaluateStatus());
    EXPECT_EQ(mon.polls.size(), 1u); // not asked
}

TEST_F(StatusEvaluation, EntriesInTableOrderBeforeRulesInListOrder) {
    mon.AddRule(EV_UPSFAIL, "rule fault");
    mon.AddRule(EV_POWERFAIL, "rule mains");
    mon.AddRule(EV_UPSRESTORE, "rule fault over");
    Poll(UPS_FAILED | UPS_BUCK | UPS_BATTLOW | UPS_ONBATTERY | UPS_REGULATING);
    EXPECT_EQ(TakeJournal(), (Lines{Fail, "2:Батарея разряжена до минимального уровня.",
                                    "2:Режим понижения напряжения питающей сети.", "3:Сбой UPS.",
                                    "4:rule fault", "4:rule mains"}));
    Poll(0);
    EXPECT_EQ(TakeJournal(), (Lines{Back, "1:Минимальный заряд батареи восстановлен.",
                                    "1:Напряжение питающей сети понизилось до нормы.",
                                    "1:Работа UPS восстановлена.", "4:rule fault over"}));
}

TEST_F(StatusEvaluation, SuspendedStillJournalsAndRefreshesButRunsNoRule) {
    mon.AddRule(EV_POWERFAIL, "rule mains");
    mon.AddRule(EV_LINKLOST, "lost a");
    mon.AddRule(EV_LINKUP, "up");
    mon.AddRule(EV_LINKLOST, "lost b");
    mon.suspended_ = true;
    Poll(UPS_ONBATTERY);
    EXPECT_EQ(StatusSends(), 1u);
    EXPECT_EQ(fp.tray.calls.size(), 1u);
    mon.RaiseEvent(EV_LINKLOST); // raised by the loop: not paused
    EXPECT_EQ(TakeJournal(), (Lines{Fail, "4:lost a", "4:lost b"}));
}

TEST_F(StatusEvaluation, ExpressionRuleFiresWhenItBecomesTrue) {
    mon.AddRule(EV_EXPRESSION, "low $CHARGE", "%CHARGE < 40");
    for (float volts : {13.0f, 11.0f, 10.9f, 13.0f, 11.0f})
        Poll(UPS_ONBATTERY, volts);
    EXPECT_EQ(TakeJournal(), (Lines{Fail, "4:low 29", "4:low 29"}));
}

TEST_F(StatusEvaluation, BatteryLimitsCheckedAgainstTheRating) {
    const std::string defaults = "2:Напряжения батареи не уточнены, загружены умолчания.";
    const std::string wrong =
        "2:Неверно указаны напряжения батареи, вероятно процент заряда не точен.";
    mon.rating_.BatteryVoltage = 24.0f;
    const struct { float min, max; } set[] = {{0, 0}, {20, 27}, {10, 13.5f}, {0, 20}, {0, 30}};
    for (const auto& s : set) {
        mon.minBattVoltage_ = s.min;
        mon.maxBattVoltage_ = s.max;
        mon.CheckBatteryLimits();
    }
    EXPECT_EQ(TakeJournal(), (Lines{defaults, wrong, wrong}));
    for (float rated : {0.0f, -1.0f, NaN}) {
        mon.minBattVoltage_ = mon.maxBattVoltage_ = 0;
        mon.rating_.BatteryVoltage = rated;
        mon.CheckBatteryLimits();
    }
    EXPECT_TRUE(TakeJournal().empty());
    EXPECT_EQ(mon.MaxBattVoltage(), 0.0f);
}

TEST_F(StatusEvaluation, StatusLineThroughTheDriver) {
    mon.scripted = false;
    fp.port.replies = {"(219.0 219.0 220.0 025 50.0 13.6 25.0 10001001\r",
                       "(219.0 219.0 220.0 025 50.0 13.6 25.0 00001001\r"};
    ASSERT_TRUE(mon.EvaluateStatus());
    ASSERT_TRUE(mon.EvaluateStatus());
    EXPECT_EQ(fp.port.written, "Q1\rQ1\r");
    EXPECT_EQ(TakeJournal(), (Lines{Fail, Back}));
    EXPECT_EQ(fp.tray.calls.back().tip, "Питание от сети. Заряд: 100%");
}
