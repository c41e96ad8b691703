#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "dialog/ui/control_win32.h"
#include "dialog/ui/gdi_win32.h"
#include "dialog/ui/window_win32.h"

// A plain child window that holds other controls: a tab page, or a group with its frame
// and caption. Its children's notifications reach their own objects through the common
// window procedure; keyboard navigation walks into it (WS_EX_CONTROLPARENT). Its window
// text is the caption it shows: a group's caption, empty for a page.
struct TContainerStyle {
    bool Frame = false;  // the etched group frame
    bool Sunken = false; // a sunken edge instead
};

class TContainer : public TWindow {
public:
    bool Create(const TControlArgs& args, const TContainerStyle& style = {});
    HFONT Font() const { return font_; }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    bool frame_ = false, sunken_ = false;
    HFONT font_ = nullptr;
};

// Bevels of a panel's edge.
enum class TBevel { None, Raised, Sunken };

struct TPanelStyle {
    TBevel Bevel = TBevel::None;
    COLORREF BackColor = CLR_INVALID; // the button face when invalid
    COLORREF TextColor = CLR_INVALID; // the button text when invalid
    bool LeftAligned = false;         // the caption at the left edge instead of centred
};

// A panel of this library's own class: background and text colours, a bevel, and a
// centred caption. A panel that hosts a drawing (a meter, a gauge) paints it instead of
// its caption and answers WM_GETTEXT with what the drawing reads.
class TPanel : public TWindow {
public:
    bool Create(const TControlArgs& args, const TPanelStyle& style = {});
    void SetBackColor(COLORREF color);
    void SetTextColor(COLORREF color);
    COLORREF BackColor() const { return back_; }
    COLORREF TextColor() const { return textColor_; }
    void SetFont(HFONT font);
    void Invalidate();

    // The hosted drawing: paints the client area (size given) on the device context, and
    // gives the text the panel reads as.
    std::function<void(HDC dc, int width, int height)> OnPaint;
    std::function<std::string()> ReadoutText;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override { buffer_.Free(); }

private:
    void Paint();
    // The off-screen copy the panel is painted on, kept while the size stays: making
    // one for every paint would cost more than the drawing itself.
    struct TBackBuffer {
        HDC Dc = nullptr;
        HBITMAP Bitmap = nullptr;
        HGDIOBJ Old = nullptr;
        int Width = 0, Height = 0;
        ~TBackBuffer() { Free(); }
        void Free();
        HDC Get(HDC compatible, int width, int height);
    };
    TBackBuffer buffer_;
    TBevel bevel_ = TBevel::None;
    bool left_ = false;
    COLORREF back_ = CLR_INVALID;
    COLORREF textColor_ = CLR_INVALID;
    HFONT font_ = nullptr;
};
