#pragma once
#include <windows.h>

#include <functional>

#include "dialog/ui/control_win32.h"

// A flat button that shows a picture drawn by its owner: no edge at rest, a raised edge
// under the mouse, a sunken one while pressed. Its caption stays its window text, for
// tooltips, screen readers and tests.
struct TPictureButtonStyle {
    // Paints the picture into the rectangle (already shifted while pressed).
    std::function<void(HDC dc, const RECT& area, bool enabled)> Picture{};
};

class TPictureButton : public TControl {
public:
    bool Create(const TControlArgs& args, const TPictureButtonStyle& style = {});
    void Click(); // as the user's click: raises OnClick
    std::function<void()> OnClick;

protected:
    bool OnCommand(WORD code) override;
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Draw(const DRAWITEMSTRUCT& item);
    std::function<void(HDC, const RECT&, bool)> picture_;
    bool hot_ = false;
};
