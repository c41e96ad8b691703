#pragma once
#include <windows.h>

#include "dialog/ui/containers_win32.h"
#include "dialog/ui/form_win32.h"

// The small borderless window that says a command waits for its answer.
class TWaitForm : public TForm {
public:
    static constexpr int Width = 163, Height = 27;
    // Made over the owner (the main window), centred on it, shown without activation.
    bool Create(HWND owner);

private:
    TFontHandle bold_;
    TPanel panel_;
};
