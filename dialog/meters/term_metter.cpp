#include "dialog/meters/term_metter.h"

namespace {

constexpr TColor kDisabledBulb = 0x808080;

struct TTermGeometry {
    TTermGeometry(int width, int height, int intervals)
        : w(width), h(height), m(width / 20), t(width / 10), y0(height / 10), d(width / 3),
          tickLength(TruncPixel((width * 0.8 - t - m) / 2)), scale(height - y0 - m - d),
          step(scale / intervals) {}

    int ScaleBottom() const { return h - m - d; } // Min: the top of the bulb

    int w, h, m, t, y0, d, tickLength, scale, step;
};

} // namespace

TTermMetter::TTermMetter() : TMetterControl(50, 200, "Arial", 6) {}

std::string TTermMetter::ReadoutText() const {
    return FormatByPattern(value_, valueFormat_);
}

int TTermMetter::ColumnTop() const {
    const TTermGeometry g(Width(), Height(), labelsCount_);
    const double v = ClampToRange(value_, min_, max_);
    return TruncPixel(g.ScaleBottom() - g.scale * RangeFraction(v, min_, max_));
}

TIndicatorLook TTermMetter::IndicatorLook() const {
    if (!Enabled()) return {};
    return {ReadoutText(), {ColumnTop()}};
}

void TTermMetter::DrawFace(ICanvas& canvas, TPainting& painting) const {
    PaintBackground(canvas, backColor_);

    const TTermGeometry g(Width(), Height(), labelsCount_);
    canvas.SetPen(tubeColor_, 1);
    canvas.SetBrush(tubeColor_);
    canvas.FillRect(TruncPixel(g.w / 2.0 - g.t / 2.0), g.y0 - g.m,
                    TruncPixel(g.w / 2.0 + g.t / 2.0), g.h - g.d);
    canvas.SetBrush(Enabled() ? liqColor_ : kDisabledBulb);
    canvas.Ellipse(TruncPixel(g.w / 2.0 - g.d / 2.0), g.ScaleBottom(),
                   TruncPixel(g.w / 2.0 + g.d / 2.0), g.h - g.m);

    canvas.SetPen(scaleColor_, 1);
    canvas.SetClearBrush();
    painting.SetFontColor(labelColor_);
    // A scale shorter than its number of intervals has a step of 0 and gets no ticks.
    // Otherwise the integer step may leave room below Min for ticks that continue the
    // sequence.
    if (Enabled() && g.step > 0) {
        for (int k = 0, y = g.y0; y <= g.y0 + g.scale; ++k, y += g.step) {
            canvas.Line(g.m, y, g.m + g.tickLength, y);
            const std::string label =
                FormatByPattern(max_ - RangeStep(min_, max_, k, labelsCount_), labelsFormat_);
            const TTextSize size = canvas.TextSize(label);
            canvas.Text(g.m + g.tickLength - size.Width, y - size.Height, label);
        }
    }
    canvas.Text(g.w - canvas.TextSize(subType_).Width - g.m, g.m, subType_);
}

void TTermMetter::DrawIndicator(ICanvas& canvas, TPainting& painting) const {
    if (!Enabled()) return;
    const TTermGeometry g(Width(), Height(), labelsCount_);
    canvas.SetPen(liqColor_, 1);
    canvas.SetBrush(liqColor_);
    painting.SetFontColor(valueColor_);
    const int columnWidth = g.w / 10 - 2;
    const int top = ColumnTop();
    // The column reaches down to the centre of the bulb.
    canvas.FillRect(TruncPixel(g.w / 2.0 - columnWidth / 2.0), top,
                    TruncPixel(g.w / 2.0 + columnWidth / 2.0), g.h - g.m - g.d / 2);
    canvas.SetClearBrush();
    const std::string readout = ReadoutText();
    canvas.Text(TruncPixel(g.w / 2.0 + g.w / 20.0 + g.m), top - canvas.TextSize(readout).Height / 2,
                readout);
}
