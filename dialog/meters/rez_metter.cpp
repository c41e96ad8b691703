#include "dialog/meters/rez_metter.h"

#include <cmath>

namespace {

struct TRezGeometry {
    TRezGeometry(int width, int height)
        : w(width), h(height), m(width / 20), h10(height / 10), span(width - 2 * m),
          barBottom(TruncPixel(height * 0.7)) {}

    int w, h, m, h10, span, barBottom;
};

} // namespace

TRezMetter::TRezMetter() : TMetterControl(150, 50, "Arial", 6) {}

std::string TRezMetter::ReadoutText() const {
    return FormatByPattern(value_, valueFormat_);
}

int TRezMetter::ReedIntervals() const {
    // Every double from 2^53 up is an even whole number, and an overflowing difference
    // counts as such too; below that the whole part converts exactly.
    const double range = max_ - min_;
    if (!(range < 0x1p53)) return 20;
    return std::fmod(std::trunc(range), 2) == 1 ? 21 : 20;
}

int TRezMetter::ReedHeight(int k, int n, int full) const {
    const double dv = RangeStep(min_, max_, 1, n);
    // A NaN distance (no reading) compares false everywhere: the reed lies flat.
    const double delta = std::fabs(min_ + k * dv - value_);
    int height = 1;
    if (delta < dv / 2)
        height = full;
    else if (delta < 1.5 * dv)
        height = full / 2;
    else if (delta < 2.5 * dv)
        height = full / 4;
    return height < 1 ? 1 : height;
}

TIndicatorLook TRezMetter::IndicatorLook() const {
    if (!Enabled()) return {};
    const int n = ReedIntervals();
    const int full = FullReed();
    TIndicatorLook look{ReadoutText(), {}};
    look.Pixels.reserve(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k)
        look.Pixels.push_back(ReedHeight(k, n, full));
    return look;
}

void TRezMetter::DrawFace(ICanvas& canvas, TPainting& painting) const {
    PaintBackground(canvas, backColor_);

    const TRezGeometry g(Width(), Height());
    canvas.SetPen(barColor_, 1);
    canvas.SetBrush(barColor_);
    canvas.FillRect(g.m / 2, TruncPixel(g.h * 0.4), g.span + g.m + g.m / 2, g.barBottom);

    canvas.SetPen(scaleColor_, 1);
    canvas.SetClearBrush();
    painting.SetFontColor(labelColor_);
    // A scale shorter than its number of intervals has a step of 0 and gets no ticks.
    // Otherwise the integer step may leave room beyond Max for ticks that continue the
    // sequence.
    const int step = g.span / labelsCount_;
    if (Enabled() && step > 0) {
        for (int k = 0, x = g.m; x <= g.m + g.span; ++k, x += step) {
            canvas.Line(x, g.barBottom, x, g.barBottom + g.h10);
            const std::string label =
                FormatByPattern(min_ + RangeStep(min_, max_, k, labelsCount_), labelsFormat_);
            canvas.Text(x - canvas.TextSize(label).Width / 2, g.barBottom + g.h10, label);
        }
    }
    canvas.Text(g.m, g.h10, metterType_);
    canvas.Text(g.w - canvas.TextSize(subType_).Width - g.m, g.h10, subType_);
}

void TRezMetter::DrawIndicator(ICanvas& canvas, TPainting& painting) const {
    if (!Enabled()) return;
    const TRezGeometry g(Width(), Height());
    canvas.SetPen(scaleColor_, 1);
    canvas.SetBrush(scaleColor_);
    painting.SetFontColor(valueColor_);
    const int n = ReedIntervals();
    const int zone = ReedZone();
    const int full = FullReed();
    const double pitch = static_cast<double>(g.span) / n;
    // The reeds' centre line lies inside the bar, so the reeds are drawn over it.
    const double centre = g.h * 0.4 + zone / 2.0;
    for (int k = 0; k <= n; ++k) {
        const double x = g.m / 2.0 + k * pitch;
        const int height = ReedHeight(k, n, full);
        canvas.FillRect(TruncPixel(x), TruncPixel(centre - height / 2.0), TruncPixel(x + pitch - 1),
                        TruncPixel(height / 2.0 + centre));
    }
    canvas.SetClearBrush();
    const std::string readout = ReadoutText();
    canvas.Text(TruncPixel(g.w / 2.0 - canvas.TextSize(readout).Width / 2.0), g.h10, readout);
}
