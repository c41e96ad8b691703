#pragma once
#include <windows.h>

#include <string>

#include "dialog/meters/canvas.h"
#include "dialog/ui/gdi_win32.h"

// The canvas over a device context, for one painting: it creates the pen, brush and font
// it is asked for, and on destruction puts back what the context had selected (objects,
// text colour, background mode) before deleting its own objects.
class TGdiCanvas : public ICanvas {
public:
    explicit TGdiCanvas(HDC dc);
    ~TGdiCanvas() override;
    TGdiCanvas(const TGdiCanvas&) = delete;
    TGdiCanvas& operator=(const TGdiCanvas&) = delete;

    void FillRect(int left, int top, int right, int bottom) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Text(int x, int y, std::string_view text) override;
    TTextSize TextSize(std::string_view text) override;

    void SetPen(TColor color, int width) override;
    void SetBrush(TColor color) override;
    void SetClearBrush() override;

    TColor FontColor() const override { return fontColor_; }
    void SetFontColor(TColor color) override;
    void SetFont(std::string_view name, int pointSize) override;

    // A colour value as GDI takes it: system colours looked up, RGB passed through.
    static COLORREF Resolve(TColor color);

private:
    void SelectFont();

    HDC dc_;
    HGDIOBJ oldPen_;
    HGDIOBJ oldBrush_;
    HGDIOBJ oldFont_;
    COLORREF oldTextColor_;
    int oldBkMode_;

    TGdiObject<HPEN> pen_;
    TGdiObject<HBRUSH> brush_; // none while the brush is clear
    TGdiObject<HFONT> font_;
    bool fontStale_ = true;
    std::string fontName_ = "Arial";
    int fontSize_ = 8;
    TColor fontColor_ = kColorWindowText;
};
