// The real hidden window and the services that report to it, under Wine with an X display.
#include <windows.h>
#undef MessageBox

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/messages.h"
#include "monitor/runtime/win32_platform.h"
#include "support/wait.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Plays the control loop: takes messages until one with the wanted number comes, and
// releases the others at once. The wanted one stays held unless `release` is set.
bool TakeWanted(IMessageQueue& queue, std::uint32_t wanted, Message& m,
                std::chrono::milliseconds limit, bool release = false) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (!queue.Take(m)) {
            std::this_thread::sleep_for(1ms);
            continue;
        }
        if (m.Msg == wanted) {
            if (release) queue.Release();
            return true;
        }
        queue.Release();
    }
    return false;
}

// Every message taken during the period, released at once.
std::vector<Message> Drain(IMessageQueue& queue, std::chrono::milliseconds period) {
    std::vector<Message> taken;
    const auto end = Clock::now() + period;
    Message m;
    while (Clock::now() < end) {
        if (queue.Take(m)) {
            taken.push_back(m);
            queue.Release();
        } else {
            std::this_thread::sleep_for(1ms);
        }
    }
    return taken;
}

int Count(const std::vector<Message>& messages, std::uint32_t msg) {
    int n = 0;
    for (const Message& m : messages)
        n += m.Msg == msg;
    return n;
}

// A SendMessageA from a thread of its own. Should a test fail with the message still
// held, stopping the queue frees it so the thread can be joined.
class Sender {
public:
    Sender(IMessageQueue& queue, UINT msg, WPARAM wParam, LPARAM lParam)
        : queue_(queue), thread_([=, this, to = queue.Window()] {
              result_ = SendMessageA(reinterpret_cast<HWND>(to), msg, wParam, lParam);
              done_ = true;
          }) {}
    ~Sender() {
        if (!done_.load()) queue_.Stop();
        thread_.join();
    }
    bool Done() const { return done_.load(); }
    bool WaitDone(std::chrono::milliseconds limit) const {
        return WaitFor([this] { return done_.load(); }, limit);
    }
    LRESULT Result() const { return result_.load(); }

private:
    IMessageQueue& queue_;
    std::atomic<bool> done_{false};
    std::atomic<LRESULT> result_{-1};
    std::thread thread_;
};

class HiddenWindow : public ::testing::Test {
protected:
    void SetUp() override {
        queue = MakeWin32MessageQueue();
        ASSERT_TRUE(queue->Start());
        window = queue->Window();
        ASSERT_NE(window, 0u);
    }
    HWND Hwnd() const { return reinterpret_cast<HWND>(window); }

    std::unique_ptr<IMessageQueue> queue;
    WindowHandle window = 0;
};

TEST(HiddenWindowClass, ReplacesAClassOfTheSameNameAndIsAnInvisibleToolWindow) {
    // A class left behind with another procedure would let messages bypass the hand-over.
    WNDCLASSA foreign{};
    foreign.lpfnWndProc = &DefWindowProcA;
    foreign.hInstance = GetModuleHandleA(nullptr);
    foreign.lpszClassName = "KovrinWndClass";
    ASSERT_NE(RegisterClassA(&foreign), 0);

    auto queue = MakeWin32MessageQueue();
    ASSERT_TRUE(queue->Start());
    const HWND hwnd = reinterpret_cast<HWND>(queue->Window());
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    EXPECT_STREQ(name, "KovrinWndClass");
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_STYLE) & WS_POPUP);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_NE(GetWindowThreadProcessId(hwnd, nullptr), GetCurrentThreadId());

    Sender sender(*queue, WM_USER + 5, 0, 0);
    Message m;
    EXPECT_TRUE(TakeWanted(*queue, WM_USER + 5, m, 2s)); // through the hand-over
    queue->Release();
    EXPECT_TRUE(sender.WaitDone(2s));

    queue->Stop();
    // The class is unregistered with the window, so nothing of it stays behind.
    WNDCLASSA left;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "KovrinWndClass", &left));
}

TEST_F(HiddenWindow, SenderWaitsUntilTheControlSideReleases) {
    static char text[] = "abc";
    Message m;
    {
        Sender sender(*queue, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        ASSERT_TRUE(TakeWanted(*queue, WM_SETTEXT, m, 2s));
        EXPECT_EQ(m.Window, window);
        EXPECT_EQ(m.LParam, reinterpret_cast<std::intptr_t>(text)); // the sender's own data
        std::this_thread::sleep_for(200ms);
        EXPECT_FALSE(sender.Done()); // held while the control side has it
        queue->Release();
        ASSERT_TRUE(sender.WaitDone(2s));
        EXPECT_EQ(sender.Result(), TRUE);
    }
    // The answer is the default procedure's: it stored the text.
    Sender length(*queue, WM_GETTEXTLENGTH, 0, 0);
    ASSERT_TRUE(TakeWanted(*queue, WM_GETTEXTLENGTH, m, 2s, true));
    ASSERT_TRUE(length.WaitDone(2s));
    EXPECT_EQ(length.Result(), 3);
}

TEST_F(HiddenWindow, PostedMessagesWaitWhileTheSlotIsBusyAndKeepTheirOrder) {
    ASSERT_TRUE(queue->Post(window, WM_USER + 1, 11, 0));
    ASSERT_TRUE(queue->Post(window, WM_USER + 2, 22, 0));
    ASSERT_TRUE(queue->Post(window, WM_USER + 3, 33, 0));
    Message m;
    ASSERT_TRUE(TakeWanted(*queue, WM_USER + 1, m, 2s));
    EXPECT_EQ(m.WParam, 11u);
    std::this_thread::sleep_for(50ms);
    Message same;
    ASSERT_TRUE(queue->Take(same)); // still the first one: the others wait in the queue
    EXPECT_EQ(same.Msg, WM_USER + 1u);
    queue->Release();

    std::vector<std::uintptr_t> order;
    for (const Message& x : Drain(*queue, 200ms))
        if (x.Msg == WM_USER + 2 || x.Msg == WM_USER + 3) order.push_back(x.WParam);
    EXPECT_EQ(order, (std::vector<std::uintptr_t>{22, 33}));
}

TEST_F(HiddenWindow, StopFreesTheHeldSenderAndEndsTheThread) {
    static char text[] = "xyz";
    Sender sender(*queue, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    Message m;
    ASSERT_TRUE(TakeWanted(*queue, WM_SETTEXT, m, 2s));
    const auto start = Clock::now();
    queue->Stop(); // never released by the control side
    EXPECT_TRUE(sender.WaitDone(1s));
    EXPECT_EQ(sender.Result(), TRUE); // the default answer
    EXPECT_FALSE(IsWindow(Hwnd()));
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_FALSE(queue->Take(m));

    // Later messages return at once.
    const auto before = Clock::now();
    EXPECT_EQ(SendMessageA(Hwnd(), WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_LT(Clock::now() - before, 100ms);
}

TEST_F(HiddenWindow, StopsWhileTheWindowIsBeingDestroyed) {
    // The default answer to WM_CLOSE destroys the window. The monitor quits on it and
    // stops the thread with WM_DESTROY still held in the slot: a stop request posted to
    // the window itself would be thrown away with it.
    ASSERT_TRUE(queue->Post(window, WM_CLOSE, 0, 0));
    Message m;
    ASSERT_TRUE(TakeWanted(*queue, WM_CLOSE, m, 2s, true));
    ASSERT_TRUE(TakeWanted(*queue, WM_DESTROY, m, 2s));
    const auto start = Clock::now();
    queue->Stop();
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_FALSE(IsWindow(Hwnd()));
}

TEST_F(HiddenWindow, TimerTicksThroughTheHandOverAndCanBeRestartedAndStopped) {
    ASSERT_TRUE(queue->StartTimer(PollTimerId, 40));
    std::vector<Message> fast = Drain(*queue, 480ms);
    const int fastTicks = Count(fast, WM_TIMER);
    for (const Message& m : fast)
        if (m.Msg == WM_TIMER) {
            EXPECT_EQ(m.WParam, 1u);
            EXPECT_EQ(m.Window, window);
        }

    queue->StopTimer(PollTimerId);
    ASSERT_TRUE(queue->StartTimer(PollTimerId, 200));
    Drain(*queue, 20ms);
    const int slowTicks = Count(Drain(*queue, 700ms), WM_TIMER);

    queue->StopTimer(PollTimerId);
    Drain(*queue, 50ms);
    const int stoppedTicks = Count(Drain(*queue, 400ms), WM_TIMER);

    EXPECT_GE(fastTicks, 5);
    EXPECT_LE(fastTicks, 13);
    EXPECT_GE(slowTicks, 2);
    EXPECT_LE(slowTicks, 4);
    EXPECT_EQ(stoppedTicks, 0);
}

// The control side sleeps while nothing comes: a post or a send from another thread ends
// the sleep, and a run of sends, each taken between two sleeps, never waits for the limit.
TEST_F(HiddenWindow, AnIdleControlSideSleepsUntilAMessageIsHandedOver) {
    Message m;
    ASSERT_FALSE(queue->Take(m));
    auto start = Clock::now();
    EXPECT_FALSE(queue->WaitForMessage(150));
    EXPECT_GE(Clock::now() - start, 140ms);

    std::thread poster([this] {
        std::this_thread::sleep_for(100ms);
        PostMessageA(Hwnd(), WM_USER + 7, 0, 0);
    });
    start = Clock::now();
    EXPECT_TRUE(queue->WaitForMessage(10000));
    EXPECT_LT(Clock::now() - start, 5s);
    poster.join();
    ASSERT_TRUE(TakeWanted(*queue, WM_USER + 7, m, 2s, true));

    constexpr int Sends = 200;
    std::thread sender([this] {
        for (int i = 0; i < Sends; ++i)
            SendMessageA(Hwnd(), WM_USER + 8, static_cast<WPARAM>(i), 0);
    });
    int taken = 0, timedOut = 0;
    const auto end = Clock::now() + 30s;
    while (taken < Sends && timedOut < 3 && Clock::now() < end) {
        if (queue->Take(m)) {
            if (m.Msg == WM_USER + 8) {
                EXPECT_EQ(m.WParam, static_cast<std::uintptr_t>(taken));
                ++taken;
            }
            queue->Release();
            continue;
        }
        if (!queue->WaitForMessage(3000)) ++timedOut;
    }
    if (taken < Sends) queue->Stop(); // frees the sender
    sender.join();
    EXPECT_EQ(taken, Sends);
    EXPECT_EQ(timedOut, 0);
}

// The box tells its owner that it disables it, and that message goes through the
// hand-over too: the control side has to keep taking while the box comes up.
HWND FindBox(IMessageQueue& queue, const char* caption) {
    HWND box = nullptr;
    const auto end = Clock::now() + 5s;
    while (!(box = FindWindowA("#32770", caption)) && Clock::now() < end)
        Drain(queue, 5ms);
    return box;
}

// Closing a box takes Wine about two seconds without a window manager, so both boxes
// are up at the same time.
TEST_F(HiddenWindow, AsyncBoxesReturnAtOnceAndOnlyAReplyIdIsReported) {
    auto desktop = MakeWin32Desktop();
    const std::string answered = "Внимание! 1", silent = "Внимание! 2";
    ASSERT_TRUE(desktop->ShowMessageAsync(window, "Текст", answered, MB_YESNO, 7));
    ASSERT_TRUE(
        desktop->ShowMessageAsync(window, "x", silent, MB_SYSTEMMODAL | MB_ICONEXCLAMATION, -1));
    // Both calls came back while the boxes are still up.
    const HWND box = FindBox(*queue, answered.c_str());
    const HWND other = FindBox(*queue, silent.c_str());
    ASSERT_NE(box, nullptr);
    ASSERT_NE(other, nullptr);
    char shown[64] = {};
    GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown); // the box's text field
    EXPECT_STREQ(shown, "Текст");

    PostMessageA(box, WM_COMMAND, IDYES, 0);
    PostMessageA(other, WM_CLOSE, 0, 0);
    std::vector<Message> done;
    const auto end = Clock::now() + 6s;
    while ((IsWindow(box) || IsWindow(other)) && Clock::now() < end)
        for (const Message& m : Drain(*queue, 5ms))
            if (m.Msg == UM_MESSAGEBOXDONE) done.push_back(m);
    ASSERT_FALSE(IsWindow(box));
    ASSERT_FALSE(IsWindow(other));
    for (const Message& m : Drain(*queue, 200ms))
        if (m.Msg == UM_MESSAGEBOXDONE) done.push_back(m);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].WParam, 7u);
    EXPECT_EQ(done[0].LParam, IDYES);
}

HWND FindMenuWindow(IMessageQueue& queue) {
    HWND menu = nullptr;
    const auto end = Clock::now() + 5s;
    while (!(menu = FindWindowA("#32768", nullptr)) && Clock::now() < end)
        Drain(queue, 5ms);
    return menu;
}

TEST_F(HiddenWindow, TrayMenuReportsTheChoiceAsACommand) {
    auto tray = MakeWin32TrayShell();
    tray->CreateMenu();

    // Dismissed: identifier 0, and the menu's handle.
    tray->ShowMenu(window);
    HWND shown = FindMenuWindow(*queue);
    ASSERT_NE(shown, nullptr);
    PostMessageA(shown, WM_KEYDOWN, VK_ESCAPE, 0);
    Message m;
    ASSERT_TRUE(TakeWanted(*queue, WM_COMMAND, m, 5s, true));
    EXPECT_EQ(m.WParam, 0u);
    const HMENU menu = reinterpret_cast<HMENU>(m.LParam);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    const UINT ids[] = {1, 2, 0, 9};
    const char* texts[] = {"Открыть диалоговое окно", "Закрыть диалоговое окно", "", "Завершить"};
    for (int i = 0; i < 4; ++i) {
        char text[64] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, texts[i]) << i;
        if (ids[i] != 0) {
            EXPECT_EQ(GetMenuItemID(menu, i), ids[i]);
        }
    }
    EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR);

    // The first item chosen from the keyboard.
    tray->ShowMenu(window);
    shown = FindMenuWindow(*queue);
    ASSERT_NE(shown, nullptr);
    PostMessageA(shown, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(shown, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(TakeWanted(*queue, WM_COMMAND, m, 5s, true));
    EXPECT_EQ(m.WParam, 1u);
    tray->DestroyMenu();
}

} // namespace
