#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/events.h"
#include "support/fake_net_server.h"
#include "unit/runtime/loop_harness.h"

namespace {

constexpr char Served[] = "NutServer=1\r\nNutPassword=secret\r\n";

struct NetHarness : LoopHarness {
    FakeNetServer net;
    NetHarness() { fp.platform.NetServer = &net; }

    void Rule(std::uint16_t id, std::uint8_t source, std::uint8_t action,
              const std::string& parameter = "") {
        TEventRule r{};
        r.Id = id;
        r.Source = source;
        r.Action = action;
        r.Parameter = parameter;
        std::string bytes = fp.dir.Read("Events.ups");
        bytes.append(reinterpret_cast<const char*>(&r), sizeof r);
        fp.dir.Write("Events.ups", bytes);
    }
    // Index of the first journal text that starts with the given one; -1 when none.
    int Find(const std::string& start) const {
        const auto texts = Texts();
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (texts[i].rfind(start, 0) == 0) return static_cast<int>(i);
        return -1;
    }
    double MsOfEntry(int index) const { return MsOf(Journal()[index].Time); }
};

} // namespace

TEST(NetServerInTheMonitor, StartedRestartedAndStoppedAsTheSettingsSay) {
    NetHarness h;
    h.Ini(std::string(Served) + "NutListen=127.0.0.1, nas, 192.168.1.5\r\nNutTcpPort=13493\r\n");
    int startsBeforeSameApply = -1;
    h.At(5000, [&] {
        startsBeforeSameApply = h.net.starts;
        h.Ini(std::string(Served) + "NutListen=127.0.0.1, nas, 192.168.1.5\r\n"
                                    "NutTcpPort=13493\r\nInterval=1000\r\n");
        h.fp.queue.PostSelf(UM_APPLYSETTINGS, APPLY_ALL);
    });
    h.At(10000, [&] {
        EXPECT_EQ(h.net.starts, 1) << "another setting applied: the clients stay connected";
        EXPECT_EQ(h.net.stops, 0);
        h.Ini(std::string(Served) + "NutTcpPort=3494\r\n");
        h.fp.queue.PostSelf(UM_APPLYSETTINGS, APPLY_ALL);
    });
    h.At(15000, [&] {
        EXPECT_EQ(h.net.starts, 2);
        EXPECT_EQ(h.net.stops, 1);
        EXPECT_EQ(h.net.settings.Port, 3494);
        EXPECT_EQ(h.net.addresses, std::vector<std::uint32_t>{0x7F000001u}) << "the default";
        h.Ini("NutServer=0\r\n");
        h.fp.queue.PostSelf(UM_APPLYSETTINGS, APPLY_ALL);
    });
    h.CloseAt(20000);
    h.Run();

    EXPECT_EQ(startsBeforeSameApply, 1);
    EXPECT_EQ(h.net.starts, 2);
    EXPECT_EQ(h.net.stops, 2);
    EXPECT_FALSE(h.net.running);
    const int bad = h.Find("Сетевой сервер ИБП: неверный адрес \"nas\".");
    ASSERT_GE(bad, 0);
    EXPECT_EQ(h.Journal()[bad].Kind, JK_ERROR);
    EXPECT_EQ(h.CountText("Сетевой сервер ИБП слушает 127.0.0.1:13493."), 1);
    EXPECT_EQ(h.CountText("Сетевой сервер ИБП слушает 192.168.1.5:13493."), 1);
    EXPECT_EQ(h.CountText("Сетевой сервер ИБП слушает 127.0.0.1:3494."), 1);
    EXPECT_EQ(h.CountText("Сетевой сервер ИБП остановлен."), 1);
    // Started after the link, before the start event's rules.
    EXPECT_LT(h.Find("Связь с UPS успешно установлена."), bad);
}

TEST(NetServerInTheMonitor, APortThatCannotBeOpenedIsAnErrorAndMonitoringGoesOn) {
    NetHarness h;
    h.Ini(Served);
    h.net.failWith = {{0x7F000001u, 10048}};
    h.At(8000, [&] {
        h.net.failWith.clear();
        h.fp.queue.PostSelf(UM_APPLYSETTINGS, APPLY_ALL);
    });
    h.CloseAt(14000);
    h.Run();
    const int e =
        h.Find("Сетевой сервер ИБП: не удалось открыть порт 127.0.0.1:3493 (ошибка 10048).");
    ASSERT_GE(e, 0);
    EXPECT_EQ(h.Journal()[e].Kind, JK_ERROR);
    EXPECT_GE(h.pollTimes.size(), 5u) << "polling goes on";
    EXPECT_EQ(h.net.starts, 2) << "the same settings applied again try again";
    EXPECT_EQ(h.CountText("Сетевой сервер ИБП слушает 127.0.0.1:3493."), 1);
    EXPECT_EQ(h.net.stops, 1) << "stopped at the exit";
}

TEST(NetServerInTheMonitor, TheSnapshotFollowsEveryPollAndTheLink) {
    NetHarness h;
    h.Ini(Served);
    std::vector<std::pair<std::uint32_t, TNetSnapshot>> seen;
    for (std::uint32_t t : {4000u, 12000u, 20000u, 26000u})
        h.At(t, [&h, &seen, t] { seen.emplace_back(t, h.app->NetExchange().Snapshot()); });
    h.At(5000, [&] { h.ups.input = 231.0f; });
    h.At(10000, [&] { h.ups.silent = true; });
    h.At(22000, [&] { h.ups.silent = false; });
    h.CloseAt(28000);
    h.Run();
    EXPECT_TRUE(h.net.atStart.Stale) << "no poll yet when the server starts";
    ASSERT_EQ(seen.size(), 4u);
    // Copied out of the packed records before comparing.
    const float input1 = seen[0].second.Status.InputVoltage;
    const float input2 = seen[1].second.Status.InputVoltage;
    const float rated = seen[0].second.Rating.BatteryVoltage;
    EXPECT_FALSE(seen[0].second.Stale);
    EXPECT_FLOAT_EQ(input1, 220.0f);
    EXPECT_EQ(seen[0].second.Info.Model.Str(), "UPSSIM-600");
    EXPECT_FLOAT_EQ(rated, 12.0f);
    EXPECT_FALSE(seen[1].second.Stale) << "one or two failed polls are no lost link";
    EXPECT_FLOAT_EQ(input2, 231.0f);
    EXPECT_TRUE(seen[2].second.Stale) << "the link is lost";
    EXPECT_FALSE(seen[3].second.Stale) << "and back";
}

TEST(NetServerInTheMonitor, ClientEventsAreJournalledAndCommandsRunOnTheUps) {
    NetHarness h;
    h.Ini(Served);
    const auto command = [&h](std::uint8_t number, const char* name, const char* argument) {
        h.net.exchange->Submit(
            {TNetEvent::Kind::Command, "monuser@10.0.0.7", name, number, argument});
    };
    h.At(4000, [&] { h.net.Login("monuser@10.0.0.7", 1); });
    h.At(5000, [&] { command(CMD_TEST, "test.battery.start.quick", ""); });
    h.At(6000, [&] { command(CMD_TESTMINUTES, "test.battery.start 05", "05"); });
    h.At(7000, [&] { h.ups.silent = true; });
    h.At(16000, [&] { command(CMD_CANCELTEST, "test.battery.stop", ""); });
    h.At(17000, [&] {
        h.net.exchange->Submit({TNetEvent::Kind::ForcedShutdown, "monuser@10.0.0.7", {}, 0, {}});
        h.net.Logout("monuser@10.0.0.7", 0);
    });
    h.CloseAt(20000);
    h.Run();

    const int login = h.Find("Вход сетевого клиента monuser@10.0.0.7.");
    const int quick =
        h.Find("Команда test.battery.start.quick от сетевого клиента monuser@10.0.0.7.");
    const int minutes =
        h.Find("Команда test.battery.start 05 от сетевого клиента monuser@10.0.0.7.");
    ASSERT_GE(login, 0);
    ASSERT_GT(quick, login);
    ASSERT_GT(minutes, quick);
    for (int i : {login, quick, minutes})
        EXPECT_EQ(h.Journal()[i].Kind, JK_INFO);
    EXPECT_NEAR(h.MsOfEntry(quick), 5000, 50) << "handled when posted, not at the next poll";
    EXPECT_EQ(h.ups.Count("T\r"), 1);
    EXPECT_EQ(h.ups.Count("T05\r"), 1);
    const int refused =
        h.Find("Команда не выполнена (нет связи с UPS): test.battery.stop от monuser@10.0.0.7.");
    ASSERT_GE(refused, 0);
    EXPECT_EQ(h.Journal()[refused].Kind, JK_WARNING);
    EXPECT_EQ(h.ups.Count("CT\r"), 0) << "nothing sent to a UPS that does not answer";
    EXPECT_GE(h.Find("FSD (принудительное выключение) от сетевого клиента monuser@10.0.0.7."), 0);
    EXPECT_GE(h.Find("Выход сетевого клиента monuser@10.0.0.7."), 0);
}

TEST(NetServerInTheMonitor, OwnPowerActionWaitsForTheClientsToLogOut) {
    NetHarness h;
    h.Ini(std::string(Served) + "FailInterval=2500\r\n");
    h.Rule(1, EV_POWERFAIL, ACT_JOURNALMESSAGE, "BEFORE");
    h.Rule(2, EV_POWERFAIL, ACT_POWEROFF);
    h.Rule(3, EV_POWERFAIL, ACT_JOURNALMESSAGE, "AFTER");
    h.At(3000, [&] { h.net.Login("monuser@10.0.0.7", 1); });
    h.At(3100, [&] { h.net.Login("monuser@10.0.0.8", 2); });
    h.At(8000, [&] { h.ups.onBattery = true; });
    // The clients see FSD and go, one after the other, while the monitor waits.
    static NetHarness* self;
    static std::uint32_t fsdAt;
    self = &h;
    fsdAt = 0;
    h.fp.clock.onSleep = [](void*) {
        if (!self->net.exchange || !self->net.exchange->ForcedShutdown()) return;
        if (fsdAt == 0) fsdAt = self->Elapsed();
        const std::uint32_t since = self->Elapsed() - fsdAt;
        if (since >= 2000 && self->net.exchange->Logins() == 2)
            self->net.Logout("monuser@10.0.0.7", 1);
        if (since >= 4000 && self->net.exchange->Logins() == 1)
            self->net.Logout("monuser@10.0.0.8", 0);
    };
    h.At(20000, [&] { h.ups.onBattery = false; });
    h.CloseAt(26000);
    h.Run();
    h.fp.clock.onSleep = nullptr;

    const int before = h.Find("BEFORE");
    const int fsd = h.Find("FSD (принудительное выключение) объявлено сетевым клиентам.");
    const int out7 = h.Find("Выход сетевого клиента monuser@10.0.0.7.");
    const int out8 = h.Find("Выход сетевого клиента monuser@10.0.0.8.");
    const int left = h.Find("Все сетевые клиенты вышли.");
    const int after = h.Find("AFTER");
    ASSERT_GE(before, 0);
    EXPECT_LT(before, fsd);
    EXPECT_LT(fsd, out7);
    EXPECT_LT(out7, out8);
    EXPECT_LT(out8, left);
    EXPECT_LT(left, after) << "the rules keep their order";
    EXPECT_NEAR(h.MsOfEntry(left) - h.MsOfEntry(fsd), 4000, 250);
    EXPECT_EQ(h.fp.power.exits, std::vector<std::uint32_t>{EXIT_POWEROFF});
    // The mains came back and this computer still runs: FSD is lifted.
    const int cleared = h.Find("FSD снят: питание от сети восстановлено.");
    EXPECT_GT(cleared, h.Find("Работа питающей сети возобновлена."));
    EXPECT_FALSE(h.app->NetExchange().ForcedShutdown());
}

TEST(NetServerInTheMonitor, TheWaitEndsAfterFifteenSecondsAndOnlyWithSomeoneLoggedIn) {
    NetHarness h;
    h.Ini(std::string(Served) + "FailInterval=2500\r\n");
    h.Rule(1, EV_BATTLOW, ACT_HIBERNATE);
    h.Rule(2, EV_POWERFAIL, ACT_FORCESHUTDOWN);
    h.At(3000, [&] { h.net.Login("monuser@10.0.0.9", 1); }); // never leaves
    h.At(6000, [&] { h.ups.onBattery = true; });
    h.CloseAt(30000);
    h.Run();
    const int fsd = h.Find("FSD (принудительное выключение) объявлено сетевым клиентам.");
    const int late = h.Find("Не вышли за 15 с сетевые клиенты: 1.");
    ASSERT_GE(late, 0);
    EXPECT_EQ(h.Journal()[late].Kind, JK_WARNING);
    EXPECT_NEAR(h.MsOfEntry(late) - h.MsOfEntry(fsd), 15000, 150);
    EXPECT_EQ(h.fp.power.exits, std::vector<std::uint32_t>{EXIT_SHUTDOWN | EXIT_FORCE});
    EXPECT_TRUE(h.app->NetExchange().ForcedShutdown()) << "still on battery";

    // Nobody logged in: FSD all the same, but no wait.
    NetHarness quiet;
    quiet.Ini(Served);
    quiet.Rule(1, EV_POWERFAIL, ACT_POWEROFF);
    quiet.At(6000, [&] { quiet.ups.onBattery = true; });
    quiet.CloseAt(12000);
    quiet.Run();
    const int announced = quiet.Find("FSD (принудительное выключение) объявлено сетевым клиентам.");
    ASSERT_GE(announced, 0);
    EXPECT_EQ(quiet.Find("Все сетевые клиенты вышли."), -1);
    EXPECT_EQ(quiet.fp.power.exits.size(), 1u);
    // Polling was not held up.
    for (std::size_t i = 1; i < quiet.pollTimes.size(); ++i)
        EXPECT_LE(quiet.pollTimes[i] - quiet.pollTimes[i - 1], 2600u);

    // A hibernation on mains (a rule tested from the window) that returns: FSD is lifted at
    // once, or every client would go down for good.
    NetHarness resumed;
    resumed.Ini(Served);
    resumed.Rule(7, EV_PROGRAMSTART, ACT_HIBERNATE);
    resumed.CloseAt(6000);
    resumed.Run();
    EXPECT_EQ(resumed.fp.power.hibernations, 1);
    EXPECT_GT(resumed.Find("FSD снят: компьютер продолжает работу от сети."),
              resumed.Find("FSD (принудительное выключение) объявлено сетевым клиентам."));
    EXPECT_FALSE(resumed.app->NetExchange().ForcedShutdown());

    // The server off: the action runs as it always did.
    NetHarness off;
    off.Rule(1, EV_POWERFAIL, ACT_POWEROFF);
    off.At(6000, [&] { off.ups.onBattery = true; });
    off.CloseAt(10000);
    off.Run();
    EXPECT_EQ(off.net.starts, 0);
    EXPECT_EQ(off.Find("FSD"), -1);
    EXPECT_EQ(off.fp.power.exits.size(), 1u);
}
