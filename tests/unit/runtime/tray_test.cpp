#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "monitor/link/megatec_mon.h"
#include "monitor/runtime/tray_logic.h"
#include "support/fake_platform.h"

TEST(Tray, IconAndTipFromChargeAndFlags) {
    EXPECT_EQ(TrayIconName(12, 0), "AC_000");
    EXPECT_EQ(TrayIconName(13, UPS_STANDBY), "AC_025");
    EXPECT_EQ(TrayIconName(62, 0) + TrayIconName(63, 0), "AC_050AC_075");
    EXPECT_EQ(TrayIconName(87, UPS_ONBATTERY) + TrayIconName(88, UPS_ONBATTERY), "DC_075DC_100");
    EXPECT_EQ(TrayTipText(88, UPS_ONBATTERY | UPS_BUCK), "Питание от батареи. Заряд: 88%");
    EXPECT_EQ(TrayTipText(0, UPS_BEEPER), "Питание от сети. Заряд: 0%");
    // A failure wins over a pending shutdown, which wins over a test.
    EXPECT_EQ(TrayIconName(50, UPS_ONBATTERY | UPS_TEST), "TEST");
    EXPECT_EQ(TrayTipText(50, UPS_ONBATTERY | UPS_TEST), "Тестирование. Заряд: 50%");
    EXPECT_EQ(TrayIconName(50, UPS_TEST | UPS_SHUTDOWN), "DOWN");
    EXPECT_EQ(TrayTipText(7, UPS_TEST | UPS_SHUTDOWN), "Ожидание выключения. Заряд: 7%");
    EXPECT_EQ(TrayIconName(50, UPS_FAILED | UPS_SHUTDOWN), "FAIL");
    EXPECT_EQ(TrayTipText(100, UPS_FAILED | UPS_SHUTDOWN), "Сбой UPS! Заряд: 100%");
}

TEST(Tray, ShellAskedOnlyWhenWhatShowsChanges) {
    FakePlatform fp;
    auto mon = std::make_unique<TMegaTecMon>(fp.platform);
    const auto& calls = fp.tray.calls;
    const auto last = [&calls] {
        return calls.back().op + " " + calls.back().icon + " " + calls.back().tip;
    };
    EXPECT_EQ(last(), std::string("add MAINICON ") + TrayTitle);
    mon->UpdateTrayIcon("MAINICON", TrayTitle);
    mon->UpdateTrayIcon(nullptr, nullptr);
    EXPECT_EQ(calls.size(), 1u);
    mon->UpdateTrayIcon("NC", nullptr); // the tip stays
    EXPECT_EQ(last(), std::string("modify NC ") + TrayTitle);
    const std::string tip(63, 't');
    mon->UpdateTrayIcon(nullptr, (tip + "cut").c_str());
    EXPECT_EQ(last(), "modify NC " + tip);
    mon->UpdateTrayIcon("NC", (tip + "other").c_str()); // the same once cut
    EXPECT_EQ(calls.size(), 3u);
    mon->AddTrayIcon(); // the task bar came back: the title until the next change
    mon->UpdateTrayIcon("NC", tip.c_str());
    EXPECT_EQ(calls.size(), 5u);
    mon.reset();
    EXPECT_EQ(calls.back().op, "delete");
}
