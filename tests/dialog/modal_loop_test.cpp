#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "dialog/module/modal_loop_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"

namespace {

// A small dialog: an edit box, OK (default) and Cancel, over an owner window.
class TTestDialog : public TForm {
public:
    bool Create(HWND owner) {
        if (!CreateForm({.Caption = "Test",
                         .ClientWidth = 200,
                         .ClientHeight = 80,
                         .Border = TFormBorder::Dialog,
                         .Owner = owner}))
            return false;
        if (!Edit.Create({.Parent = Handle(), .Rect = {8, 8, 180, 21}}) ||
            !Ok.Create({.Parent = Handle(), .Rect = {8, 40, 75, 25}, .Text = "OK"},
                       {.Kind = TButtonKind::Default}) ||
            !CancelButton.Create({.Parent = Handle(), .Rect = {100, 40, 75, 25}, .Text = "Cancel"},
                                 {.Kind = TButtonKind::Cancel}))
            return false;
        Ok.OnClick = [this] { SetModalResult(MR_OK); };
        CancelButton.OnClick = [this] { SetModalResult(MR_CANCEL); };
        return true;
    }
    TEdit Edit;
    TButton Ok, CancelButton;
};

struct TOwner {
    TOwner() {
        Form.CreateForm({.Caption = "Owner"});
        Form.Show(true);
    }
    TForm Form;
};

// A bare window that ends its run with OK on a request of its own, as a window ends when
// the monitor asks from its thread: nothing on the screen changes.
class TRequestedForm : public TForm {
public:
    static constexpr UINT EndRequest = WM_APP + 1;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != EndRequest) return TForm::OnMessage(msg, wParam, lParam);
        SetModalResult(MR_OK);
        return 0;
    }
};

// Sends a message from another thread once the run is asleep, and says how long the run
// went on after the send had been handled. A run that missed it is woken after two seconds
// so that the test ends.
long long MillisecondsTheRunOutlivedASend(TForm& form, UINT msg, int& result) {
    using namespace std::chrono;
    std::atomic<bool> ended{false};
    steady_clock::time_point handled;
    std::thread sender([&] {
        std::this_thread::sleep_for(300ms);
        SendMessageA(form.Handle(), msg, 0, 0);
        handled = steady_clock::now();
        for (int i = 0; i < 100 && !ended; ++i)
            std::this_thread::sleep_for(20ms);
        if (!ended) PostMessageA(form.Handle(), WM_NULL, 0, 0);
    });
    result = RunModal(form, nullptr);
    const auto returned = steady_clock::now();
    ended = true;
    sender.join();
    return duration_cast<milliseconds>(returned - handled).count();
}

void PostKey(HWND hwnd, UINT vk) {
    PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
    PostMessageA(hwnd, WM_KEYUP, vk, 1 | (1u << 30) | (1u << 31));
}

} // namespace

TEST(ModalLoop, TabCharactersNeverReachAControl) {
    TOwner owner;
    TTestDialog dialog;
    ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
    for (char c : {'a', '\t', 'b', '\t'})
        PostMessageA(dialog.Edit.Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    PostMessageA(dialog.Ok.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_OK);
    EXPECT_EQ(dialog.Edit.Text(), "ab");
}

TEST(ModalLoop, TheOwnerIsDisabledWhileItRunsAndEnabledAfterAnyEnd) {
    TOwner owner;
    {
        TTestDialog dialog;
        ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
        bool disabledDuring = false;
        dialog.Ok.OnClick = [&] {
            disabledDuring = !IsWindowEnabled(owner.Form.Handle());
            dialog.SetModalResult(MR_OK);
        };
        PostMessageA(dialog.Ok.Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_OK);
        EXPECT_TRUE(disabledDuring);
        EXPECT_TRUE(IsWindowEnabled(owner.Form.Handle()));
        EXPECT_FALSE(dialog.Visible());
    }
    {
        // A close request rather than a result: Cancel, and the owner comes back all the same.
        TTestDialog dialog;
        ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
        PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_CANCEL);
        EXPECT_TRUE(IsWindowEnabled(owner.Form.Handle()));
        EXPECT_EQ(GetForegroundWindow(), owner.Form.Handle());
    }
}

TEST(ModalLoop, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
    TOwner owner;
    {
        TTestDialog dialog;
        ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
        dialog.Edit.Focus();
        PostKey(dialog.Edit.Handle(), VK_RETURN);
        EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_OK);
    }
    {
        TTestDialog dialog;
        ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
        dialog.Edit.Focus();
        PostKey(dialog.Edit.Handle(), VK_ESCAPE);
        EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_CANCEL);
    }
}

// The monitor closes windows from its own thread, with a send that is handled inside the
// run's wait: the run must see it then, not at whatever message happens to come next.
// Wine's waits return after handling a send, but Windows' WaitMessage and GetMessage go on
// sleeping: the wake the window posts is what ends such a loop (without it, a loop on
// GetMessage fails here).
TEST(ModalLoop, ACloseOrAResultSentFromAnotherThreadEndsTheRunAtOnce) {
    {
        TRequestedForm form;
        ASSERT_TRUE(form.CreateForm({.Caption = "Closed"}));
        int result = MR_NONE;
        const long long outlived = MillisecondsTheRunOutlivedASend(form, WM_CLOSE, result);
        EXPECT_EQ(result, MR_CANCEL);
        EXPECT_LT(outlived, 500) << "the run went on " << outlived << " ms after the close";
        EXPECT_FALSE(form.Visible());
    }
    {
        TRequestedForm form;
        ASSERT_TRUE(form.CreateForm({.Caption = "Ended"}));
        int result = MR_NONE;
        const long long outlived =
            MillisecondsTheRunOutlivedASend(form, TRequestedForm::EndRequest, result);
        EXPECT_EQ(result, MR_OK);
        EXPECT_LT(outlived, 500) << "the run went on " << outlived << " ms after its result";
        EXPECT_FALSE(form.Visible());
    }
}
