#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "dialog/meters/arc_metter.h"
#include "dialog/meters/gdi_canvas_win32.h"
#include "dialog/meters/term_metter.h"

namespace {

// A top-down 32-bit bitmap in a memory device context, its pixels readable directly.
class TBitmap {
public:
    TBitmap(int width, int height) : width_(width) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const std::uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~TBitmap() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    bool Valid() const { return dc_ && bits_; }
    HDC Dc() const { return dc_; }

    // As a COLORREF (0x00BBGGRR); the bitmap stores 0x00RRGGBB.
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    template <typename TTest>
    int Count(int left, int top, int right, int bottom, TTest test) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += test(Pixel(x, y)) ? 1 : 0;
        return n;
    }
    int Count(int left, int top, int right, int bottom, COLORREF color) const {
        return Count(left, top, right, bottom, [color](COLORREF c) { return c == color; });
    }

private:
    int width_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

template <typename TMeter> void PaintInto(TMeter& meter, const TBitmap& bitmap) {
    meter.AttachHost([] {});
    TGdiCanvas canvas(bitmap.Dc());
    meter.Paint(canvas);
}

// Text is smoothed, so its pixels are shades: tell them by their hue.
bool Reddish(COLORREF c) {
    return GetRValue(c) > GetGValue(c) + 60 && GetRValue(c) > GetBValue(c) + 60;
}
bool Dark(COLORREF c) {
    return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128;
}

constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0x000000, kNavy = 0x800000, kRed = 0x0000FF;

TEST(GdiCanvas, ArcMeterNeedleTicksAndReadout) {
    TBitmap bitmap(100, 50);
    ASSERT_TRUE(bitmap.Valid());
    TArcMetter meter;
    meter.SetPointerColor(kNavy);
    meter.SetValue(100);
    PaintInto(meter, bitmap);

    EXPECT_EQ(bitmap.Pixel(20, 46), kWhite);
    // The needle runs from (49...51, 48) to (98, 31), whose last pixel a line leaves out.
    EXPECT_EQ(bitmap.Pixel(50, 48), kNavy);
    EXPECT_GT(bitmap.Count(95, 30, 99, 34, kNavy), 0);
    EXPECT_GT(bitmap.Count(72, 37, 77, 42, kNavy), 0);
    // The tick of 0 starts on the arc at (3, 32); "100.0" in red above the needle's base.
    EXPECT_EQ(bitmap.Pixel(3, 32), kBlack);
    EXPECT_GT(bitmap.Count(30, 25, 70, 43, Reddish), 5);

    // At 0 the needle lies on the tick of 0 and leaves that of 100 free.
    meter.SetValue(0);
    PaintInto(meter, bitmap);
    EXPECT_EQ(bitmap.Pixel(96, 32), kBlack);
    EXPECT_EQ(bitmap.Count(95, 30, 99, 34, kNavy), 0);
    EXPECT_GT(bitmap.Count(1, 30, 5, 34, kNavy), 0);

    // Disabled: the inactive-caption colour of this system, and no needle.
    meter.SetEnabled(false);
    PaintInto(meter, bitmap);
    EXPECT_EQ(bitmap.Pixel(20, 46), GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(bitmap.Count(0, 0, 100, 50, kNavy), 0);
}

TEST(GdiCanvas, ThermometerColumnTubeAndTicks) {
    TBitmap bitmap(50, 200);
    ASSERT_TRUE(bitmap.Valid());
    TTermMetter meter;
    meter.SetValue(50);
    PaintInto(meter, bitmap);

    EXPECT_EQ(bitmap.Pixel(24, 150), kRed);      // column
    EXPECT_EQ(bitmap.Pixel(23, 101), kRed);      // its top-left corner
    EXPECT_EQ(bitmap.Pixel(24, 100), 0xC0C0C0u); // tube just above it
    EXPECT_EQ(bitmap.Pixel(25, 190), kRed);      // bulb
    EXPECT_EQ(bitmap.Pixel(45, 150), kWhite);
    EXPECT_EQ(bitmap.Pixel(10, 20), kBlack);           // top tick
    EXPECT_EQ(bitmap.Pixel(10, 180), kBlack);          // bottom tick
    EXPECT_GT(bitmap.Count(29, 90, 50, 112, Dark), 5); // "50.0" beside the column's top
}

TEST(GdiCanvas, PutsBackWhatTheContextHadSelected) {
    TBitmap bitmap(20, 20);
    ASSERT_TRUE(bitmap.Valid());
    HDC dc = bitmap.Dc();
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    {
        TGdiCanvas canvas(dc);
        canvas.SetPen(0x00FF00, 2);
        canvas.SetBrush(0x80000005);
        canvas.FillRect(0, 0, 20, 20);
        canvas.FillRect(15, 15, 5, 5); // inverted: nothing
        canvas.SetFont("Arial", 7);
        canvas.SetFontColor(0x80000012);
        EXPECT_EQ(canvas.FontColor(), 0x80000012u); // kept as given
        const TTextSize size = canvas.TextSize("100%");
        EXPECT_GT(size.Width, 10);
        EXPECT_GT(size.Height, 5);
        canvas.Text(0, 0, "Вх");
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    }
    EXPECT_EQ(bitmap.Pixel(19, 19), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(TGdiCanvas::Resolve(0x00123456), 0x123456u);
}

} // namespace
