#include "dialog/ui/picture_button_win32.h"

bool TPictureButton::Create(const TControlArgs& args, const TPictureButtonStyle& style) {
    picture_ = style.Picture;
    TControlArgs common = args;
    common.TabStop = true;
    return CreateControl(common, {"BUTTON", BS_OWNERDRAW, 0});
}

void TPictureButton::Click() {
    if (OnClick) OnClick();
}

bool TPictureButton::OnCommand(WORD code) {
    if (code != BN_CLICKED) return false;
    Click();
    return true;
}

bool TPictureButton::OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return TControl::OnReflected(msg, wParam, lParam, result);
}

bool TPictureButton::OnOwnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_MOUSEMOVE && !hot_) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        Invalidate();
    } else if (msg == WM_MOUSELEAVE) {
        hot_ = false;
        Invalidate();
    }
    return false;
}

void TPictureButton::Draw(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    HDC dc = item.hDC;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool enabled = (item.itemState & ODS_DISABLED) == 0;
    if (pressed)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    else if (hot_ && enabled)
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    RECT area = r;
    InflateRect(&area, -2, -2);
    if (pressed) OffsetRect(&area, 1, 1);
    if (picture_) picture_(dc, area, enabled);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}
