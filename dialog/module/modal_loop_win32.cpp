#include "dialog/module/modal_loop_win32.h"

#include "dialog/ui/control_win32.h"
#include "dialog/ui/form_win32.h"

namespace {

bool IsKeyMessage(UINT msg) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_SYSDEADCHAR:
        return true;
    default:
        return false;
    }
}

// The control object of the focused window, or of its parent (a combo box's edit field).
TControl* FocusedControl() {
    HWND focus = GetFocus();
    for (int i = 0; i < 2 && focus; ++i, focus = GetParent(focus))
        if (TControl* control = TControl::FromHandle(focus)) return control;
    return nullptr;
}

} // namespace

bool PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        DispatchWithKeyRules(msg);
    }
    return true;
}

// WaitMessage would not do: a message sent from another thread is handled inside it
// without ending the wait, so a final close sent by the monitor would leave the loop asleep
// with its window already hidden.
void WaitForMessage(DWORD timeout) {
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void DispatchWithKeyRules(MSG& msg) {
    if (IsKeyMessage(msg.message) && !GetCapture()) {
        // A Tab as a character is never delivered: the key itself moves the focus.
        if ((msg.message == WM_CHAR || msg.message == WM_SYSCHAR) && msg.wParam == '\t') return;
        if (TControl* control = FocusedControl(); control && control->OnPreKey(msg)) return;
        if (TForm* form = FormOf(msg.hwnd); form && form->HandleDialogKey(msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

int RunModal(TForm& form, HWND owner) {
    if (owner) EnableWindow(owner, FALSE);
    form.SetModalResult(MR_NONE);
    int result = MR_NONE;
    try {
        form.Show(true);
        SetForegroundWindow(form.Handle());
        // What is already queued is taken before waiting.
        while (PumpMessages() && form.Visible() && form.ModalResult() == MR_NONE)
            WaitForMessage();
        if (form.Visible()) form.Show(false);
        result = form.ModalResult();
    } catch (...) {
        result = MR_CANCEL;
    }
    if (owner) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
    return result;
}
