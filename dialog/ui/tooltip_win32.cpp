#include "dialog/ui/tooltip_win32.h"

#include <commctrl.h>

#include <string>

#include "dialog/ui/window_win32.h"

TToolTips::~TToolTips() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool TToolTips::Create(HWND owner) {
    owner_ = owner;
    hwnd_ =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, ModuleInstance(), nullptr);
    return hwnd_ != nullptr;
}

void TToolTips::Add(HWND control, std::string_view text) {
    if (!hwnd_ || !control) return;
    std::string copy(text);
    TTTOOLINFOA info{};
    // The size of the first version: every comctl32 takes it.
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = copy.data();
    SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}
