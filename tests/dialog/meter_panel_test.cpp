// A meter on its panel: painted in two layers, the face kept between paints, it must show
// the very pixels of a panel that draws the whole meter every time.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dialog/meters/arc_metter.h"
#include "dialog/meters/gauge.h"
#include "dialog/meters/gdi_canvas_win32.h"
#include "dialog/meters/metter_host_win32.h"
#include "dialog/meters/rez_metter.h"
#include "dialog/meters/term_metter.h"

namespace {

// The panel's pixels as PaintOn puts them on a 32-bit bitmap of its parent's size.
std::vector<std::uint32_t> PixelsOf(TPanel& panel, int width, int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    panel.PaintOn(dc);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(p, p + width * height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// Two panels side by side on a hidden window, each with a meter of the same kind: one
// drawn whole at every paint, one hosted as the status page hosts its meters.
template <typename TMeter> class TTwoPanels {
public:
    TTwoPanels(int width, int height) : width_(width + 2), height_(height + 2) {
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 2 * width_, height_, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        whole.Create({.Parent = parent_, .Rect = {0, 0, width_, height_}},
                     {.Bevel = TBevel::Sunken});
        layered.Create({.Parent = parent_, .Rect = {width_, 0, width_, height_}},
                       {.Bevel = TBevel::Sunken});
        whole.OnPaint = [this](HDC dc, int w, int h) {
            wholeMeter.SetSize(w, h);
            TGdiCanvas canvas(dc);
            wholeMeter.Paint(canvas);
        };
        wholeMeter.AttachHost([this] { whole.Invalidate(); });
        HostMetter(layered, layeredMeter);
    }
    ~TTwoPanels() {
        UnhostMetter(layered);
        whole.Destroy();
        layered.Destroy();
        DestroyWindow(parent_);
    }
    bool Valid() const { return parent_ && whole.Handle() && layered.Handle(); }

    // Does the same to both meters and compares what the panels show, pixel by pixel.
    void Step(const std::string& what, const std::function<void(TMeter&)>& change) {
        change(wholeMeter);
        change(layeredMeter);
        Compare(what);
    }
    void Compare(const std::string& what) {
        // The layered panel sits to the right: its pixels are read at its place.
        const auto a = PixelsOf(whole, 2 * width_, height_);
        const auto b = PixelsOf(layered, 2 * width_, height_);
        int differing = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                differing += a[y * 2 * width_ + x] != b[y * 2 * width_ + width_ + x];
        EXPECT_EQ(differing, 0) << what;
        // And something was drawn at all: not a plain panel.
        int shades = 0;
        for (int x = 0; x < width_; ++x)
            shades += a[(height_ / 2) * 2 * width_ + x] != a[(height_ / 2) * 2 * width_ + 1];
        EXPECT_GT(shades, 0) << what;
    }

    TPanel whole, layered;
    TMeter wholeMeter, layeredMeter;

private:
    int width_, height_;
    HWND parent_ = nullptr;
};

// Values that move the indicator, values it cannot show apart, and every kind of change
// of the look in between: each must leave the two panels alike.
template <typename TMeter> void CheckLayers(int width, int height, double base, double step) {
    TTwoPanels<TMeter> p(width, height);
    ASSERT_TRUE(p.Valid());
    p.Compare("first paint");
    for (int i = 0; i < 6; ++i)
        p.Step("value " + std::to_string(i),
               [&](TMeter& m) { m.SetValue(base + i * step + (i % 2) * 0.01); });
    p.Step("beyond the range", [](TMeter& m) { m.SetValue(1e6); });
    p.Step("no reading", [](TMeter& m) { m.SetValue(std::nan("")); });
    p.Step("range", [&](TMeter& m) { m.SetMax(m.Max() + 40); });
    p.Step("value in the new range", [&](TMeter& m) { m.SetValue(base + step / 3); });
    p.Step("disabled", [](TMeter& m) { m.SetEnabled(false); });
    p.Step("value while disabled", [&](TMeter& m) { m.SetValue(base + 2 * step); });
    p.Step("enabled again", [](TMeter& m) { m.SetEnabled(true); });
    p.Step("font", [](TMeter& m) { m.Font().SetSize(8); });
    p.Step("background", [](TMeter& m) { m.SetBackColor(0x00E0FFE0); });
    p.whole.SetBackColor(RGB(200, 10, 10));
    p.layered.SetBackColor(RGB(200, 10, 10));
    p.Compare("panel colour");
    p.Step("value last", [&](TMeter& m) { m.SetValue(base + step); });
}

TEST(MeterPanel, ArcMeterInLayersLooksAsDrawnWhole) {
    CheckLayers<TArcMetter>(100, 50, 10, 13);
}

TEST(MeterPanel, ThermometerInLayersLooksAsDrawnWhole) {
    CheckLayers<TTermMetter>(50, 199, 15, 9);
}

TEST(MeterPanel, FrequencyMeterInLayersLooksAsDrawnWhole) {
    CheckLayers<TRezMetter>(147, 50, 47, 1.3);
}

TEST(MeterPanel, GaugeInLayersLooksAsDrawnWhole) {
    CheckLayers<TGauge>(71, 115, 5, 17);
}

} // namespace
