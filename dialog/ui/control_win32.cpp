#include "dialog/ui/control_win32.h"

#include "dialog/ui/window_win32.h"

namespace {
// The control object rides on its window as a property: GWLP_USERDATA of a standard
// control is free for applications, but a property cannot clash with a class that uses it.
constexpr char ControlProperty[] = "TarvoControl";
} // namespace

TControl::~TControl() {
    Forget();
}

void TControl::Forget() {
    if (!hwnd_) return;
    if (IsWindow(hwnd_)) {
        if (original_)
            SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(hwnd_, ControlProperty);
    }
    hwnd_ = nullptr;
    original_ = nullptr;
}

TControl* TControl::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<TControl*>(GetPropA(hwnd, ControlProperty)) : nullptr;
}

DWORD ChildStyle(const TControlArgs& args) {
    DWORD style = WS_CHILD;
    if (args.Visible) style |= WS_VISIBLE;
    if (args.TabStop) style |= WS_TABSTOP;
    if (!args.Enabled) style |= WS_DISABLED;
    return style;
}

HFONT FontFor(const TControlArgs& args) {
    if (args.Font || !args.Parent) return args.Font;
    return reinterpret_cast<HFONT>(SendMessageA(args.Parent, WM_GETFONT, 0, 0));
}

bool TControl::CreateControl(const TControlArgs& args, const TCreateSpec& spec) {
    const DWORD style = ChildStyle(args) | spec.Style;
    const std::string text(args.Text);
    hwnd_ = CreateWindowExA(spec.ExStyle, spec.ClassName, text.c_str(), style, args.Rect.Left,
                            args.Rect.Top, args.Rect.Width, args.Rect.Height, args.Parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.Id)),
                            ModuleInstance(), nullptr);
    if (!hwnd_) return false;
    SetPropA(hwnd_, ControlProperty, this);
    // Every control is subclassed, if only to learn of its destruction (which clears the
    // handle and the property before the handle can be reused).
    Subclass();
    if (const HFONT font = FontFor(args))
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return true;
}

int TControl::Id() const {
    return hwnd_ ? GetDlgCtrlID(hwnd_) : 0;
}

void TControl::SetText(std::string_view text) {
    if (hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
}

std::string TControl::Text() const {
    if (!hwnd_) return {};
    const int n = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    const int got = GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

void TControl::Enable(bool enabled) {
    if (hwnd_) EnableWindow(hwnd_, enabled);
}
bool TControl::Enabled() const {
    return hwnd_ && IsWindowEnabled(hwnd_);
}
void TControl::Show(bool visible) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}
bool TControl::Visible() const {
    return hwnd_ && IsWindowVisible(hwnd_);
}
void TControl::Focus() {
    if (hwnd_) SetFocus(hwnd_);
}
void TControl::Move(const TRect& r) {
    if (hwnd_) MoveWindow(hwnd_, r.Left, r.Top, r.Width, r.Height, TRUE);
}
void TControl::Invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}
void TControl::SetFont(HFONT font) {
    if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int TControl::TextWidth(std::string_view text) const {
    if (!hwnd_) return 0;
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return size.cx;
}

bool TControl::OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
        result = 0;
        return OnCommand(HIWORD(wParam));
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam), result);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam))) {
            result = reinterpret_cast<LRESULT>(brush);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool TControl::OnPreKey(const MSG&) {
    return false;
}
bool TControl::OnCommand(WORD) {
    return false;
}
bool TControl::OnNotify(NMHDR*, LRESULT&) {
    return false;
}
HBRUSH TControl::OnCtlColor(HDC) {
    return nullptr;
}
bool TControl::OnOwnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

void TControl::Subclass() {
    if (!hwnd_ || original_) return;
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProcedure)));
}

LRESULT TControl::CallOriginal(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(original_, hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TControl::SubclassProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TControl* self = FromHandle(hwnd);
    if (!self || !self->original_) return DefWindowProcA(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    try {
        if (msg != WM_NCDESTROY && self->OnOwnMessage(msg, wParam, lParam, result)) return result;
    } catch (...) {
    }
    const WNDPROC original = self->original_;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(hwnd, ControlProperty);
        self->hwnd_ = nullptr;
        self->original_ = nullptr;
    }
    return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}
