#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include "harness.h"

using namespace dialogtest;

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveDataFiles();
        ASSERT_TRUE(session.Open());
    }
    TSession session;
};

} // namespace

TEST_F(MainWindow, OpensWithItsCaptionAndTabsAndAnnouncesItself) {
    EXPECT_EQ(Text(session.Main()), "Tarvo [version 0.35b]");
    HWND tabs = Descendants(session.Main(), WC_TABCONTROLA).front();
    const char* expected[] = {"Состояние", "Дополнительно", "События",    "Протокол",
                              "Терминал",  "Настройка",     "О программе"};
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 7);
    for (int i = 0; i < 7; ++i) {
        char buf[64] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::string(buf), expected[i]);
    }
    RECT client;
    GetClientRect(session.Main(), &client);
    EXPECT_EQ(client.right, 481);
    EXPECT_EQ(client.bottom, 250);
}

// For a person to look at: the window with a status, held open for a while.
TEST_F(MainWindow, DISABLED_HoldForALook) {
    session.PostLinkState(0);
    session.SendInfo(MakeInfo("Megatec", "Simulated", "1.00"));
    session.SendRating(MakeRating(220, 12, 50, 3));
    session.SendStatus(MakeStatus(231.5f, 229.8f, 13.6f, 50.1f, 31.2f, 25, 90, 0x0021));
    const char* hold = getenv("KOVRIN_HOLD_PAGE");
    SelectTab(session.Main(), hold ? atoi(hold) : 0);
    HWND tabs = Descendants(session.Main(), WC_TABCONTROLA).front();
    for (int i = 0; i < 7; ++i) {
        RECT r{};
        SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        printf("tab %d: %ld..%ld\n", i, r.left, r.right);
    }
    session.Monitor().Pump(4000ms);
}
