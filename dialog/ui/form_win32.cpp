#include "dialog/ui/form_win32.h"

#include <commctrl.h>

#include "dialog/ui/controls_win32.h"

namespace {
constexpr char FormClass[] = "TarvoForm";

struct FrameStyle {
    DWORD Style, ExStyle;
};

FrameStyle StyleOf(const TFormArgs& args) {
    switch (args.Border) {
    case TFormBorder::Single:
        return {WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN, 0};
    case TFormBorder::Dialog:
        return {WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME};
    case TFormBorder::Sizeable:
        return {(WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX) | WS_CLIPCHILDREN, 0};
    case TFormBorder::None:
        return {WS_POPUP, 0};
    }
    return {WS_OVERLAPPEDWINDOW, 0};
}

struct ButtonSearch {
    bool WantDefault;
    TButton* Found = nullptr;
};

BOOL CALLBACK FindButton(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ButtonSearch*>(param);
    auto* button = dynamic_cast<TButton*>(TControl::FromHandle(child));
    if (!button || !IsWindowVisible(child) || !IsWindowEnabled(child)) return TRUE;
    if (search->WantDefault ? button->IsDefault() : button->IsCancel()) {
        search->Found = button;
        return FALSE;
    }
    return TRUE;
}

bool IsPushButton(HWND hwnd) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") != 0) return false;
    const LONG_PTR type = GetWindowLongPtrA(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// The combo box a focused window belongs to (an editable one focuses its edit child).
HWND ComboOf(HWND hwnd) {
    for (int i = 0; i < 2 && hwnd; ++i, hwnd = GetParent(hwnd)) {
        char cls[16] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (lstrcmpiA(cls, "ComboBox") == 0) return hwnd;
    }
    return nullptr;
}
} // namespace

TForm* FormOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    return dynamic_cast<TForm*>(TWindow::FromHandle(GetAncestor(hwnd, GA_ROOT)));
}

bool TForm::CreateForm(const TFormArgs& args) {
    if (!RegisterOwnClass(FormClass, &TWindow::Procedure, 0, nullptr,
                          GetSysColorBrush(COLOR_BTNFACE)))
        return false;
    font_ = MakeFont(args.Font);
    FrameStyle frame = StyleOf(args);
    if (args.ToolWindow) frame.ExStyle |= WS_EX_TOOLWINDOW;
    frame.ExStyle |= WS_EX_CONTROLPARENT;
    RECT r{0, 0, args.ClientWidth, args.ClientHeight};
    AdjustWindowRectEx(&r, frame.Style, FALSE, frame.ExStyle);
    TRect rect{args.Left, args.Top, r.right - r.left, r.bottom - r.top};
    if (args.Place == TFormPlace::System) rect.Left = rect.Top = CW_USEDEFAULT;
    if (!CreateFrom({.ClassName = FormClass,
                     .Caption = args.Caption,
                     .Style = frame.Style,
                     .ExStyle = frame.ExStyle,
                     .Rect = rect,
                     .Parent = args.Owner}))
        return false;
    if (args.Place == TFormPlace::ScreenCenter) CenterOn(nullptr);
    return true;
}

void TForm::CenterOn(HWND over) {
    RECT area{};
    if (over)
        GetWindowRect(over, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT self;
    GetWindowRect(Handle(), &self);
    const int w = self.right - self.left, h = self.bottom - self.top;
    SetWindowPos(Handle(), nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    if (result != MR_NONE) WakeRunLoop();
}

void TForm::Close() {
    if (modalResult_ == MR_NONE) modalResult_ = MR_CANCEL;
    Show(false);
    WakeRunLoop();
}

void TForm::WakeRunLoop() {
    if (Handle()) PostMessageA(Handle(), WM_NULL, 0, 0);
}

bool TForm::ClickButton(bool wantDefault) {
    ButtonSearch search{wantDefault};
    EnumChildWindows(Handle(), &FindButton, reinterpret_cast<LPARAM>(&search));
    if (!search.Found) return false;
    search.Found->Click();
    return true;
}

bool TForm::HandleDialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    const HWND focus = GetFocus();
    switch (msg.wParam) {
    case VK_TAB: {
        if (ctrl) return false;
        // No control of this library takes Tab as text: it always moves the focus.
        HWND next =
            GetNextDlgTabItem(Handle(), focus && IsChild(Handle(), focus) ? focus : nullptr, shift);
        if (next) {
            SetFocus(next);
            char cls[16] = {};
            GetClassNameA(next, cls, sizeof cls);
            if (lstrcmpiA(cls, "Edit") == 0) SendMessageA(next, EM_SETSEL, 0, -1);
        }
        return true;
    }
    case VK_RETURN: {
        if (const HWND combo = ComboOf(focus);
            combo && SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0))
            return false;
        MSG copy = msg;
        const LRESULT code =
            focus ? SendMessageA(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy))
                  : 0;
        if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
        if (focus && IsPushButton(focus)) {
            if (auto* button = dynamic_cast<TButton*>(TControl::FromHandle(focus))) {
                button->Click();
                return true;
            }
        }
        return ClickButton(true);
    }
    case VK_ESCAPE: {
        if (const HWND combo = ComboOf(focus);
            combo && SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0))
            return false;
        return ClickButton(false);
    }
    default:
        return false;
    }
}

LRESULT TForm::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_.Get());
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        // The focus leaves with the window and comes back to the same control.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        return Default(msg, wParam, lParam);
    case WM_SETFOCUS:
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_))
            SetFocus(lastFocus_);
        else if (HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE))
            SetFocus(first);
        return 0;
    default:
        return Default(msg, wParam, lParam);
    }
}
