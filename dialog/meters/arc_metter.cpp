#include "dialog/meters/arc_metter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRightEnd = 5 * kPi / 8; // Max
constexpr double kLeftEnd = 11 * kPi / 8; // Min
constexpr double kSweep = 3 * kPi / 4;

// The ellipse's centre lies on the bottom edge; angles run from the downward direction,
// so that the top of the scale is at pi.
struct TArcGeometry {
    TArcGeometry(int width, int height)
        : w(width), h(height), cx(width / 2), cy(height), rx(width - cx), ry(height - height / 10),
          m(std::min(width, height) / 20) {}

    int X(double theta, double k) const { return TruncPixel(std::sin(theta) * (rx * k) + cx); }
    int Y(double theta, double k) const { return TruncPixel(std::cos(theta) * (ry * k) + cy); }

    int w, h, cx, cy, rx, ry, m;
};

} // namespace

TArcMetter::TArcMetter() : TMetterControl(100, 50, "Arial", 6) {}

std::string TArcMetter::ReadoutText() const {
    return FormatByPattern(value_, valueFormat_);
}

void TArcMetter::DrawFace(ICanvas& canvas, TPainting& painting) const {
    PaintBackground(canvas, backColor_);
    const TArcGeometry g(Width(), Height());
    canvas.SetPen(scaleColor_, 2);
    canvas.SetClearBrush();

    // Segments of about 3 pixels of arc; the last one may overshoot the left end a little.
    // A control too narrow for a radius has no arc to draw.
    if (g.rx > 0) {
        const double step = 3.0 / g.rx;
        double theta = kRightEnd;
        do {
            const double next = theta + step;
            canvas.Line(g.X(theta, 1), g.Y(theta, 1), g.X(next, 1), g.Y(next, 1));
            theta = next;
        } while (theta < kLeftEnd);
    }

    painting.SetFontColor(labelColor_);
    canvas.SetPen(scaleColor_, 1);

    // More intervals than the arc has pixels would paint one solid band, and a count in
    // the millions would keep the window busy for minutes: such a scale gets no ticks.
    const int n = labelsCount_;
    const double arcPixels = kSweep * std::max(g.rx, g.ry);
    if (Enabled() && n <= arcPixels) {
        for (int i = 0; i <= n; ++i) {
            const double theta = kRightEnd + i * kSweep / n;
            const int xi = TruncPixel(std::sin(theta) * (g.rx * 0.9) + g.cx);
            const int yi = TruncPixel(std::cos(theta) * (g.ry * 0.9) + (g.h - g.m * 0.1));
            canvas.Line(g.X(theta, 1), g.Y(theta, 1), xi, yi);
            const std::string label =
                FormatByPattern(max_ - RangeStep(min_, max_, i, n), labelsFormat_);
            canvas.Text(xi - canvas.TextSize(label).Width / 2, yi, label);
        }
    }

    canvas.Text(g.m, g.m, metterType_);
    canvas.Text(g.w - canvas.TextSize(subType_).Width - g.m, g.m, subType_);
}

TArcMetter::TNeedleTip TArcMetter::NeedleTip() const {
    // The tip lies 5 % beyond the scale arc.
    const TArcGeometry g(Width(), Height());
    const double v = ClampToRange(value_, min_, max_);
    const double theta = kLeftEnd - kSweep * RangeFraction(v, min_, max_);
    return {TruncPixel(std::sin(theta) * (g.rx * 1.05) + g.cx),
            TruncPixel(std::cos(theta) * (g.ry * 1.05) + g.h)};
}

TIndicatorLook TArcMetter::IndicatorLook() const {
    if (!Enabled()) return {};
    const TNeedleTip tip = NeedleTip();
    return {ReadoutText(), {tip.X, tip.Y}};
}

void TArcMetter::DrawIndicator(ICanvas& canvas, TPainting& painting) const {
    if (!Enabled()) return;
    const TArcGeometry g(Width(), Height());
    canvas.SetPen(pointerColor_, 1);
    canvas.SetClearBrush();

    painting.SetFontColor(valueColor_);
    const std::string readout = ReadoutText();
    const TTextSize size = canvas.TextSize(readout);
    canvas.Text(TruncPixel(g.w / 2.0 - size.Width / 2.0), TruncPixel(g.h * 0.85 - size.Height),
                readout);

    // The needle is three lines wide and covers the readout.
    const TNeedleTip tip = NeedleTip();
    const int baseY = g.h - g.m;
    canvas.Line(g.cx, baseY, tip.X, tip.Y);
    canvas.Line(g.cx + 1, baseY, tip.X, tip.Y);
    canvas.Line(g.cx - 1, baseY, tip.X, tip.Y);
}
