#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "common/events.h"
#include "loop_harness.h"

namespace {

const std::string LinkUp = "Связь с UPS успешно установлена.";
const std::string NoAnswer = "Нет ответа от UPS.";
const std::string NoPort = "Не удалось открыть порт.";

void WriteRule(LoopHarness& h, std::uint16_t id, std::uint8_t source, std::uint8_t action,
               const std::string& parameter) {
    TEventRule r{};
    r.Id = id;
    r.Source = source;
    r.Action = action;
    r.Parameter = parameter;
    std::string bytes = h.fp.dir.Read("Events.ups");
    bytes.append(reinterpret_cast<const char*>(&r), sizeof r);
    h.fp.dir.Write("Events.ups", bytes);
}

std::vector<std::uint32_t> Gaps(const std::vector<std::uint32_t>& times, std::uint32_t from,
                                std::uint32_t to) {
    std::vector<std::uint32_t> gaps;
    for (std::size_t i = 1; i < times.size(); ++i)
        if (times[i - 1] >= from && times[i] <= to) gaps.push_back(times[i] - times[i - 1]);
    return gaps;
}

} // namespace

TEST(ControlLoop, NormalRunJournalsStartLinkAndExitInOrder) {
    LoopHarness h;
    h.CloseAt(8000);
    h.Run();
    const auto texts = h.Texts();
    ASSERT_GE(texts.size(), 6u);
    EXPECT_EQ(texts[0], "Запуск...");
    EXPECT_EQ(texts[1], LinkUp);
    // Neither battery limit set and the UPS rates its battery at 12 V: defaults loaded.
    EXPECT_EQ(texts[2], "Напряжения батареи не уточнены, загружены умолчания.");
    EXPECT_EQ(h.Journal()[2].Kind, JK_WARNING);
    EXPECT_FLOAT_EQ(h.app->MinBattVoltage(), 10.0f);
    EXPECT_FLOAT_EQ(h.app->MaxBattVoltage(), 13.5f);
    const auto journal = h.Journal();
    EXPECT_EQ(texts[texts.size() - 3], "Завершение работы...");
    EXPECT_EQ(texts[texts.size() - 2], "Выход.");
    EXPECT_EQ(journal.back().Kind, JK_ENDOFRUN);
    EXPECT_TRUE(journal.back().Text.Empty());
    // The first poll follows at once, the next ones every Interval.
    ASSERT_GE(h.pollTimes.size(), 3u);
    EXPECT_LT(h.pollTimes[0], 2100u);
    for (auto gap : Gaps(h.pollTimes, 0, 6000))
        EXPECT_NEAR(gap, 2500, 50);
    EXPECT_FALSE(h.app->Running());
    EXPECT_FALSE(h.app->Opened());
}

TEST(ControlLoop, PowerFailureSwitchesThePollPeriodAndRecordsEachTransitionOnce) {
    LoopHarness h;
    h.Ini("Interval=2500\r\nFailInterval=1000\r\nStatInterval=100000\r\n");
    h.At(10000, [&] { h.ups.onBattery = true; });
    h.At(20000, [&] { h.ups.onBattery = false; });
    h.CloseAt(32000);
    h.Run();

    EXPECT_EQ(h.CountText("Сбой питающей сети."), 1);
    EXPECT_EQ(h.CountText("Работа питающей сети возобновлена."), 1);
    for (const auto& r : h.Journal()) {
        if (r.Text.View() == "Сбой питающей сети.") {
            EXPECT_EQ(r.Kind, JK_WARNING);
        }
        if (r.Text.View() == "Работа питающей сети возобновлена.") {
            EXPECT_EQ(r.Kind, JK_INFO);
        }
    }
    EXPECT_EQ(h.fp.queue.timerStarts, (std::vector<std::uint32_t>{2500, 1000, 2500}));
    const auto onBattery = Gaps(h.pollTimes, 10100, 19900);
    ASSERT_FALSE(onBattery.empty());
    for (auto gap : onBattery)
        EXPECT_NEAR(gap, 1000, 50);
    const auto back = Gaps(h.pollTimes, 21000, 32000);
    ASSERT_FALSE(back.empty());
    for (auto gap : back)
        EXPECT_NEAR(gap, 2500, 50);

    // One record at the failure, one at the return, one at the end of the loop.
    const auto stats = h.Stats();
    ASSERT_EQ(stats.size(), 3u);
    EXPECT_EQ(stats[0].Status.Flags & UPS_ONBATTERY, UPS_ONBATTERY);
    EXPECT_EQ(stats[1].Status.Flags & UPS_ONBATTERY, 0);
    const double batteryTime = stats[0].Status.BatteryTime;
    EXPECT_EQ(batteryTime, 0.0); // the period has just begun
}

// While nothing happens the loop sleeps until the next message or the next statistics
// record, instead of looking every few milliseconds; the records keep their own period.
TEST(ControlLoop, IdleLoopSleepsUntilAMessageOrTheNextRecord) {
    LoopHarness h;
    h.Ini("Interval=2500\r\nStatInterval=6000\r\n");
    h.CloseAt(60000);
    h.Run();
    // 24 polls and 10 records in the minute: a few passes each, not one every 10 ms.
    EXPECT_LT(h.fp.queue.looks, 200);
    EXPECT_GT(h.fp.queue.waits, 30);
    const auto stats = h.Stats();
    ASSERT_GE(stats.size(), 10u);
    // Every 6 s, not at the poll after it (7.5 s); the last one is the exit's.
    for (std::size_t i = 1; i + 1 < stats.size(); ++i)
        EXPECT_NEAR(h.MsOf(stats[i].Time) - h.MsOf(stats[i - 1].Time), 6000, 50) << i;
}

TEST(ControlLoop, TimeOnBatteryGrowsInTheStatistics) {
    LoopHarness h;
    h.Ini("StatInterval=2500\r\n");
    h.At(5000, [&] { h.ups.onBattery = true; });
    h.CloseAt(15000);
    h.Run();
    double last = -1;
    int onBattery = 0;
    for (const auto& r : h.Stats()) {
        if (!(r.Status.Flags & UPS_ONBATTERY)) continue;
        const double t = r.Status.BatteryTime;
        EXPECT_GE(t, last);
        last = t;
        ++onBattery;
    }
    EXPECT_GE(onBattery, 3);
    EXPECT_NEAR(last * 86400.0, 7.0, 1.1); // from the poll at 7 s to the last poll at 14 s
}

TEST(ControlLoop, LinkLossAfterExactlyThreeFailedPollsAndRegainAtTheFirstSuccess) {
    LoopHarness h;
    h.Ini("StatInterval=2500\r\n");
    WriteRule(h, 1, EV_LINKLOST, ACT_JOURNALMESSAGE, "LOST");
    WriteRule(h, 2, EV_LINKUP, ACT_JOURNALMESSAGE, "UP");
    h.At(10000, [&] { h.ups.silent = true; });
    h.At(30000, [&] { h.ups.silent = false; });
    h.CloseAt(40000);
    h.Run();

    EXPECT_EQ(h.CountText(NoAnswer), 1);
    EXPECT_EQ(h.CountText("LOST"), 1);
    EXPECT_EQ(h.CountText(LinkUp), 2); // at start and when the UPS answers again
    EXPECT_EQ(h.CountText("UP"), 2);
    const auto texts = h.Texts();
    const auto lost = std::find(texts.begin(), texts.end(), NoAnswer);
    ASSERT_NE(lost, texts.end());
    EXPECT_EQ(*(lost + 1), "LOST"); // the journal entry comes just before the event
    // The tray showed "no link", and the status again once the link returned.
    bool sawNc = false;
    for (const auto& c : h.fp.tray.calls)
        if (c.icon == "NC") sawNc = c.tip == "Нет связи с UPS!";
    EXPECT_TRUE(sawNc);
    ASSERT_FALSE(h.fp.tray.calls.empty());
    EXPECT_NE(h.fp.tray.calls.back().icon, "NC");
    // No statistics from the first failed poll (the first after 10 s) to the regain.
    for (const auto& r : h.Stats()) {
        const double ms = h.MsOf(r.Time);
        EXPECT_FALSE(ms > 12100 && ms < 30000) << "record at " << ms << " ms";
    }
}

TEST(ControlLoop, PortMissingAtStartKeepsRunningAndRecoversWhenSettingsAreApplied) {
    LoopHarness h;
    h.fp.port.openOk = false;
    h.At(5000, [&] { h.fp.port.openOk = true; });
    h.Post(6000, UM_APPLYSETTINGS, APPLY_ALL);
    h.CloseAt(12000);
    h.Run();

    EXPECT_EQ(h.CountText(NoPort), 1);
    EXPECT_EQ(h.CountText(NoAnswer), 0); // failing polls on a closed port say nothing more
    EXPECT_EQ(h.CountText("Применение настроек..."), 1);
    EXPECT_EQ(h.CountText("Разрываю связь с UPS..."), 0);
    EXPECT_EQ(h.CountText("Загрузка настроек..."), 1);
    EXPECT_EQ(h.CountText(LinkUp), 1);
    ASSERT_FALSE(h.fp.tray.calls.empty());
    bool sawNoPort = false;
    for (const auto& c : h.fp.tray.calls)
        sawNoPort |= c.icon == "MAINICON" && c.tip == NoPort;
    EXPECT_TRUE(sawNoPort);
    ASSERT_FALSE(h.pollTimes.empty());
    EXPECT_GE(h.pollTimes.front(), 6000u);
}

TEST(ControlLoop, StatIntervalZeroWritesNothingEvenAtTransitionsAndExit) {
    LoopHarness h;
    h.Ini("StatInterval=0\r\n");
    h.At(3000, [&] { h.ups.onBattery = true; });
    h.At(6000, [&] { h.ups.onBattery = false; });
    h.CloseAt(9000);
    h.Run();
    EXPECT_EQ(h.fp.dir.Read("Stat.ups").size(), 0u);
}

TEST(ControlLoop, StatIntervalGivesAboutOneRecordPerInterval) {
    LoopHarness h;
    h.Ini("StatInterval=2500\r\n");
    h.CloseAt(25000);
    h.Run();
    const auto stats = h.Stats();
    EXPECT_GE(stats.size(), 9u);
    EXPECT_LE(stats.size(), 11u);
    // Nothing before the first poll: every record holds a measured status.
    for (const auto& r : stats) {
        const float input = r.Status.InputVoltage;
        EXPECT_EQ(input, 220.0f);
    }
}

TEST(ControlLoop, DialogGetsTheStateInOrderAndNothingAfterItClosed) {
    LoopHarness h;
    const WindowHandle dialog = 0x2000;
    h.Post(4000, UM_TRAYICON, 0, TRAY_LBUTTONDOWN);
    h.Post(4100, UM_TRAYICON, 0, TRAY_LBUTTONDOWN); // loaded already: nothing
    h.Post(4500, UM_DIALOGREADY, dialog);
    h.At(4600, [&] {
        ASSERT_EQ(h.fp.queue.posted.size(), 1u);
        EXPECT_EQ(h.fp.queue.posted[0].WParam, TD_LINKSTATE);
        EXPECT_EQ(h.fp.queue.posted[0].LParam, LINK_UP);
        ASSERT_GE(h.fp.queue.sent.size(), 3u);
        EXPECT_EQ(h.fp.queue.sent[0].wParam, TD_INFO);
        EXPECT_EQ(h.fp.queue.sent[0].payload.substr(1, 15), "SIMULATED CO.  ");
        EXPECT_EQ(h.fp.queue.sent[1].wParam, TD_RATING);
        EXPECT_EQ(h.fp.queue.sent[2].wParam, TD_STATUS);
    });
    h.Post(5000, UM_RUNCOMMAND, CMD_INFO, 0);
    h.Post(7000, UM_DIALOGCLOSED);
    h.At(7100, [&] { h.ups.onBattery = true; });
    h.CloseAt(12000);
    std::size_t sendsAtClose = 0;
    h.At(7050, [&] { sendsAtClose = h.fp.queue.sent.size(); });
    h.Run();

    EXPECT_EQ(h.fp.dialog.loads, 1);
    EXPECT_EQ(h.fp.dialog.creates, 1);
    EXPECT_EQ(h.fp.dialog.destroys, 1);
    EXPECT_EQ(h.fp.dialog.frees, 1);
    bool answered = false;
    for (const auto& s : h.fp.queue.sent)
        if (s.wParam == TD_ANSWER) answered = s.payload.substr(17, 10) == "UPSSIM-600";
    EXPECT_TRUE(answered);
    EXPECT_EQ(h.fp.queue.sent.size(), sendsAtClose);
}

TEST(ControlLoop, RunCommandWhileTheLinkIsLostAnswersNoAnswerWithoutTouchingThePort) {
    LoopHarness h;
    h.Post(500, UM_DIALOGREADY, 0x2000);
    h.At(1000, [&] { h.ups.silent = true; });
    h.At(12000, [&] { h.fp.queue.PostSelf(UM_RUNCOMMAND, CMD_INFO, 0); });
    // The polls go on meanwhile (one falls on 12 s); the command itself is never sent.
    int informationQueries = 0;
    h.At(11900, [&] { informationQueries = h.ups.Count("I\r"); });
    h.CloseAt(12005);
    h.Run();
    // The last answer the dialog got (journal entries aside) says no answer.
    std::uintptr_t answer = 0xFF;
    for (const auto& s : h.fp.queue.sent)
        if (s.wParam != TD_JOURNAL) answer = s.wParam;
    EXPECT_EQ(answer, TD_NOANSWER);
    EXPECT_EQ(h.ups.Count("I\r"), informationQueries);
}

TEST(ControlLoop, MenuItemsAndTheEndOfTheSession) {
    LoopHarness h;
    h.Post(500, SYS_COMMAND, MENU_CLOSEDIALOG); // not open: nothing happens
    h.Post(1000, UM_TRAYICON, 0, TRAY_RBUTTONDOWN);
    h.Post(2000, SYS_ENDSESSION, 1);
    h.Run();
    EXPECT_EQ(h.fp.tray.menusShown, 1);
    EXPECT_EQ(h.fp.dialog.loads, 0);
    EXPECT_TRUE(h.fp.queue.sent.empty());
    // The end-of-session message stays held until the monitor has shut down.
    EXPECT_TRUE(h.fp.queue.held);
    const auto texts = h.Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.back(), "");
    EXPECT_EQ(texts[texts.size() - 2], "Выход.");
}

TEST(ControlLoop, AnErrorWhileHandlingAMessageEndsTheMonitorInOrder) {
    LoopHarness h;
    bool thrown = false;
    h.fp.port.responder = [&](const std::string& w) -> std::string {
        if (w == "Q1\r" && h.Elapsed() > 3000 && !thrown) {
            thrown = true;
            throw std::runtime_error("Port exploded");
        }
        return h.ups.Answer(w);
    };
    h.limitMs = 20000;
    h.Run();
    EXPECT_LT(h.Elapsed(), 10000u);
    const auto texts = h.Texts();
    const auto fatal = std::find(texts.begin(), texts.end(), "Фатальная ошибка!");
    ASSERT_NE(fatal, texts.end());
    EXPECT_EQ(*(fatal + 1), "Завершение работы...");
    ASSERT_EQ(h.fp.desktop.boxes.size(), 1u);
    EXPECT_EQ(h.fp.desktop.boxes[0].caption, "Фатальная ошибка");
    EXPECT_EQ(h.fp.desktop.boxes[0].text, "Произошла фатальная ошибка: \"Port exploded\"\r\r"
                                          "Дальнейшая работа программы невозможна.");
    EXPECT_EQ(texts.back(), "");
}

TEST(ControlLoop, ApplyingSettingsOnBatteryStartsOverFromInterval) {
    LoopHarness h;
    h.At(3000, [&] { h.ups.onBattery = true; });
    h.Post(8000, UM_APPLYSETTINGS, APPLY_ALL);
    h.CloseAt(12000);
    h.Run();
    // The status is zeroed, so the first poll after the reload sees the failure anew.
    EXPECT_EQ(h.fp.queue.timerStarts, (std::vector<std::uint32_t>{2500, 1000, 2500, 1000}));
    EXPECT_EQ(h.CountText("Сбой питающей сети."), 2);
    EXPECT_EQ(h.CountText("Разрываю связь с UPS..."), 1);
}

TEST(ControlLoop, ReloadRequestsForRulesAndCommands) {
    LoopHarness h;
    h.At(1000, [&] { WriteRule(h, 5, EV_PROGRAMEXIT, ACT_JOURNALMESSAGE, "BYE"); });
    h.Post(1500, UM_APPLYSETTINGS, APPLY_EVENTS);
    h.Post(2000, UM_APPLYSETTINGS, APPLY_COMMANDS);
    h.Post(2500, UM_APPLYSETTINGS, 7); // unknown: ignored
    h.Post(3000, UM_TESTEVENT, 5);
    h.Post(3100, UM_TESTEVENT, 99);
    h.CloseAt(4000);
    h.Run();
    EXPECT_EQ(h.CountText("Применение настроек событий."), 1);
    EXPECT_EQ(h.CountText("Применение настроек команд."), 1);
    EXPECT_EQ(h.CountText("BYE"), 2); // the test request and the exit event
    const auto texts = h.Texts();
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[texts.size() - 4], "Завершение работы...");
    EXPECT_EQ(texts[texts.size() - 3], "BYE"); // the exit event, before "Выход."
}

TEST(ControlLoop, FatalDataFilesEndTheRunAtOnce) {
    LoopHarness h;
    h.fp.dir.Write("Events.ups", std::string(520 + 3, 'x')); // fits neither layout
    h.fp.desktop.answers = {IDX_NO};
    h.Run();
    EXPECT_EQ(h.Texts(), (std::vector<std::string>{"Аварийное завершение работы."}));
    EXPECT_EQ(h.fp.port.opens, 0);
}
