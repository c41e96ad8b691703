#include "dialog/meters/gauge.h"

#include <algorithm>

// The size and font of the status page's gauges.
TGauge::TGauge() : TMetterControl(73, 117, "MS Sans Serif", 8, kColorButtonText) {}

int TGauge::Percent() const {
    const double fraction = RangeFraction(ClampToRange(value_, min_, max_), min_, max_);
    return std::clamp(TruncPixel(fraction * 100), 0, 100);
}

std::string TGauge::ReadoutText() const {
    return std::to_string(Percent()) + "%";
}

int TGauge::BarHeight() const {
    const double fraction = RangeFraction(ClampToRange(value_, min_, max_), min_, max_);
    return TruncPixel(Height() * fraction);
}

TIndicatorLook TGauge::IndicatorLook() const {
    // The percentage shows whether or not the bar does.
    return {ReadoutText(), {Enabled() ? BarHeight() : 0}};
}

void TGauge::DrawFace(ICanvas& canvas, TPainting&) const {
    canvas.SetPen(backColor_, 1);
    canvas.SetBrush(backColor_);
    canvas.FillRect(0, 0, Width(), Height());
}

void TGauge::DrawIndicator(ICanvas& canvas, TPainting&) const {
    if (Enabled()) {
        const int bar = BarHeight();
        canvas.SetBrush(barColor_);
        canvas.FillRect(0, Height() - bar, Width(), Height());
    }
    canvas.SetClearBrush();
    const std::string text = ReadoutText();
    const TTextSize size = canvas.TextSize(text);
    canvas.Text((Width() - size.Width) / 2, (Height() - size.Height) / 2, text);
}
