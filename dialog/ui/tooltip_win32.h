#pragma once
#include <windows.h>

#include <string_view>

// The hints of a window's controls: a tooltip window that shows a text while the mouse
// rests on a control. It follows the mouse over the controls by itself (subclassing
// them), so the window's procedure does nothing for it.
class TToolTips {
public:
    TToolTips() = default;
    TToolTips(const TToolTips&) = delete;
    TToolTips& operator=(const TToolTips&) = delete;
    ~TToolTips();

    bool Create(HWND owner);
    void Add(HWND control, std::string_view text);

private:
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
};
