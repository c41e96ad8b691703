#include "dialog/meters/metter_control.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"

void TMetterFont::SetName(std::string name) {
    if (name == name_) return;
    name_ = std::move(name);
    Changed();
}

void TMetterFont::SetSize(int points) {
    if (points == size_) return;
    size_ = points;
    Changed();
}

void TMetterFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

namespace {

int LimitExtent(int extent) {
    return std::clamp(extent, 0, TMetterControl::kMaxExtent);
}

} // namespace

TMetterControl::TMetterControl(int width, int height, std::string fontName, int fontSize,
                               TColor fontColor)
    : width_(LimitExtent(width)), height_(LimitExtent(height)),
      font_(std::move(fontName), fontSize, fontColor) {
    font_.SetOnChange([this] { FontChanged(); });
}

void TMetterControl::AttachHost(std::function<void()> requestRedraw) {
    requestRedraw_ = std::move(requestRedraw);
}

void TMetterControl::SetSize(int width, int height) {
    width = LimitExtent(width);
    height = LimitExtent(height);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    Invalidate();
}

void TMetterControl::SetEnabled(bool enabled) {
    Assign(enabled_, enabled);
}

void TMetterControl::PaintBackground(ICanvas& canvas, TColor backColor) const {
    canvas.SetBrush(enabled_ ? backColor : kColorInactiveCaption);
    canvas.FillRect(0, 0, width_, height_);
}

void TMetterControl::Paint(ICanvas& canvas) {
    if (!HasHost()) return;
    TPainting painting(*this, canvas);
    DrawFace(canvas, painting);
    DrawIndicator(canvas, painting);
}

void TMetterControl::PaintFace(ICanvas& canvas) {
    if (!HasHost()) return;
    TPainting painting(*this, canvas);
    DrawFace(canvas, painting);
}

void TMetterControl::PaintIndicator(ICanvas& canvas) {
    if (!HasHost()) return;
    TPainting painting(*this, canvas);
    DrawIndicator(canvas, painting);
}

void TMetterControl::AssignValue(double& field, double value) {
    if (SameValue(field, value)) return;
    const TIndicatorLook before = IndicatorLook();
    field = value;
    // The face stays as it is; only the indicator would be drawn again.
    if (requestRedraw_ && IndicatorLook() != before) requestRedraw_();
}

bool TMetterControl::AssignMin(double& min, double max, double value) {
    if (!std::isfinite(value) || value >= max || value == min) return false;
    min = value;
    Invalidate();
    return true;
}

bool TMetterControl::AssignMax(double& max, double min, double value) {
    if (!std::isfinite(value) || value <= min || value == max) return false;
    max = value;
    Invalidate();
    return true;
}

bool TMetterControl::AssignCount(int& count, int value) {
    if (value <= 0 || value == count) return false;
    count = value;
    Invalidate();
    return true;
}

TMetterControl::TPainting::TPainting(TMetterControl& control, ICanvas& canvas)
    : control_(control), canvas_(canvas), savedColor_(control.font_.Color()) {
    control_.painting_ = true;
    canvas_.SetFont(control_.font_.Name(), control_.font_.Size());
    canvas_.SetFontColor(savedColor_);
}

TMetterControl::TPainting::~TPainting() {
    SetFontColor(savedColor_);
    control_.painting_ = false;
}

void TMetterControl::TPainting::SetFontColor(TColor color) {
    control_.font_.SetColor(color);
    canvas_.SetFontColor(color);
}

int TruncPixel(double x) {
    constexpr double kLimit = 1 << 28;
    if (std::isnan(x)) return 0;
    return static_cast<int>(std::clamp(x, -kLimit, kLimit));
}

std::string FormatByPattern(double value, const std::string& pattern) {
    // More decimals than a double holds would only print noise.
    constexpr int kMaxDecimals = 15;
    int decimals = 0;
    const auto point = pattern.find('.');
    if (point != std::string::npos) {
        for (std::size_t i = point + 1; i < pattern.size(); ++i)
            if (pattern[i] == '0' || pattern[i] == '#') ++decimals;
    }
    return FormatFixed(value, std::min(decimals, kMaxDecimals));
}

double RangeFraction(double v, double lo, double hi) {
    return (v / 2 - lo / 2) / (hi / 2 - lo / 2);
}

double RangeStep(double lo, double hi, double k, double n) {
    const double half = hi / 2 - lo / 2;
    // In the written order while the product stays finite, so that labels round as
    // expected; dividing first only where the product would overflow.
    const double scaled = k * half;
    return (std::isfinite(scaled) ? scaled / n : k * (half / n)) * 2;
}

double ClampToRange(double v, double lo, double hi) {
    if (std::isnan(v)) return lo;
    return std::clamp(v, lo, hi);
}

bool SameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}
