#include "dialog/ui/window_win32.h"

#include <commctrl.h>

#include <vector>

#include "dialog/ui/control_win32.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// Filled and emptied on the user-interface thread only.
std::vector<std::string>& RegisteredClasses() {
    static std::vector<std::string> names;
    return names;
}

} // namespace

HINSTANCE ModuleInstance() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

bool RegisterOwnClass(const char* name, WNDPROC procedure, UINT style, HCURSOR cursor,
                      HBRUSH background) {
    for (const std::string& known : RegisteredClasses())
        if (known == name) return true;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = ModuleInstance();
    wc.hCursor = cursor ? cursor : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    // A class left behind by an earlier load that ended abruptly is replaced.
    UnregisterClassA(name, ModuleInstance());
    if (!RegisterClassA(&wc)) return false;
    RegisteredClasses().push_back(name);
    return true;
}

void UnregisterOwnClasses() {
    for (const std::string& name : RegisteredClasses())
        UnregisterClassA(name.c_str(), ModuleInstance());
    RegisteredClasses().clear();
}

TWindow::~TWindow() {
    Destroy();
}

TWindow* TWindow::FromHandle(HWND hwnd) {
    return hwnd ? reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)) : nullptr;
}

void TWindow::Destroy() {
    if (!hwnd_) return;
    const HWND hwnd = hwnd_;
    DestroyWindow(hwnd); // clears hwnd_ through WM_NCDESTROY
    if (hwnd_ == hwnd) {
        // Destroyed from another thread's point of view: forget the handle anyway.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
    }
}

bool TWindow::CreateFrom(const TWindowArgs& args) {
    const bool child = (args.Style & WS_CHILD) != 0;
    HMENU menu = child ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.Id)) : nullptr;
    std::string caption(args.Caption);
    const HWND hwnd = CreateWindowExA(args.ExStyle, args.ClassName, caption.c_str(), args.Style,
                                      args.Rect.Left, args.Rect.Top, args.Rect.Width,
                                      args.Rect.Height, args.Parent, menu, ModuleInstance(), this);
    return hwnd != nullptr;
}

void TWindow::SetText(std::string_view text) {
    if (hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
}

std::string TWindow::Text() const {
    if (!hwnd_) return {};
    const int n = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    const int got = GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

void TWindow::Show(bool visible) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}
bool TWindow::Visible() const {
    return hwnd_ && IsWindowVisible(hwnd_);
}
void TWindow::Enable(bool enabled) {
    if (hwnd_) EnableWindow(hwnd_, enabled);
}
bool TWindow::Enabled() const {
    return hwnd_ && IsWindowEnabled(hwnd_);
}

LRESULT TWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Default(msg, wParam, lParam);
}

LRESULT TWindow::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

bool ReflectToControl(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND from = nullptr;
    switch (msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        from = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        from = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        from = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    default:
        return false;
    }
    TControl* control = TControl::FromHandle(from);
    return control && control->OnReflected(msg, wParam, lParam, result);
}

LRESULT CALLBACK TWindow::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWindow* self = FromHandle(hwnd);
    if (msg == WM_NCCREATE) {
        self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    // No exception may cross into the system's code that called this procedure.
    try {
        if (ReflectToControl(msg, wParam, lParam, result)) return result;
        result = self->OnMessage(msg, wParam, lParam);
    } catch (...) {
        result = DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
    }
    return result;
}
