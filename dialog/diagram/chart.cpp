#include "dialog/diagram/chart.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"
#include "dialog/meters/metter_control.h"

namespace {

constexpr int Margin = 8;
constexpr int LabelGap = 4;
constexpr int MinTickSpacing = 36; // pixels between two labels of the point axis
constexpr int LineWidth = 2;

// Decimals that the labels of a 1-2-5 step need.
int DecimalsOf(double step) {
    if (!(step > 0) || step >= 1) return 0;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
}

} // namespace

double NiceStep(double range, int intervals) {
    if (!std::isfinite(range) || range <= 0) return 1;
    if (intervals < 1) intervals = 1;
    const double raw = range / intervals;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    // A step that equals the raw one (a range of 1 in 5: 0.2) must be taken whatever the
    // last bit of pow and log10 of this runtime: compare with a margin far below any step.
    const double wanted = raw * (1 - 1e-12);
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= wanted) return factor * power;
    return 10 * power;
}

void TChart::SetPoints(const TDiagramPoints& points) {
    points_ = points;
    axisMax_ = points.Count > 0 ? points.Count - 1 : 99;
    double largest = 0;
    for (const auto& series : points_.Values)
        for (double v : series)
            if (std::isfinite(v)) largest = std::max(largest, v);
    if (largest <= 0) largest = 1;
    valueStep_ = NiceStep(largest, 5);
    valueMax_ = std::ceil(largest / valueStep_ - 1e-9) * valueStep_;
    if (valueMax_ < largest) valueMax_ += valueStep_;
}

TChart::TArea TChart::PlotArea(ICanvas& canvas, int width, int height) const {
    const int decimals = DecimalsOf(valueStep_);
    const TTextSize widest = canvas.TextSize(FormatFixed(valueMax_, decimals));
    TArea a{Margin + widest.Width + LabelGap, Margin + widest.Height / 2, width - 2 * Margin,
            height - Margin - widest.Height - LabelGap};
    a.Right = std::max(a.Right, a.Left + 1);
    a.Bottom = std::max(a.Bottom, a.Top + 1);
    return a;
}

int TChart::XOf(const TArea& area, double index) const {
    const double range = axisMax_ > 0 ? axisMax_ : 1;
    return area.Left + TruncPixel(index / range * (area.Right - area.Left));
}

int TChart::YOf(const TArea& area, double value) const {
    const double v = std::isfinite(value) ? std::clamp(value, 0.0, valueMax_) : 0.0;
    return area.Bottom - TruncPixel(v / valueMax_ * (area.Bottom - area.Top));
}

void TChart::Paint(ICanvas& canvas, int width, int height) const {
    canvas.SetBrush(kBackground);
    canvas.FillRect(0, 0, width, height);
    canvas.SetFont("Arial", 8);
    canvas.SetFontColor(kAxis);
    const TArea area = PlotArea(canvas, width, height);

    // The value scale: grid lines and labels at every step.
    const int decimals = DecimalsOf(valueStep_);
    const int steps = static_cast<int>(std::lround(valueMax_ / valueStep_));
    for (int i = 0; i <= steps; ++i) {
        const double v = i * valueStep_;
        const int y = YOf(area, v);
        if (i > 0) {
            canvas.SetPen(kGrid, 1);
            canvas.Line(area.Left + 1, y, area.Right, y);
        }
        const std::string label = FormatFixed(v, decimals);
        const TTextSize size = canvas.TextSize(label);
        canvas.Text(area.Left - LabelGap - size.Width, y - size.Height / 2, label);
    }

    // The point axis: a label every few points, as many as fit.
    const int fit = std::max(1, (area.Right - area.Left) / MinTickSpacing);
    const int tick = std::max(1, static_cast<int>(NiceStep(std::max(axisMax_, 1), fit)));
    canvas.SetPen(kAxis, 1);
    for (int i = 0; i <= axisMax_; i += tick) {
        const int x = XOf(area, i);
        canvas.Line(x, area.Bottom, x, area.Bottom + LabelGap / 2 + 1);
        const std::string label = std::to_string(i);
        const TTextSize size = canvas.TextSize(label);
        canvas.Text(x - size.Width / 2, area.Bottom + LabelGap, label);
    }
    canvas.Line(area.Left, area.Top, area.Left, area.Bottom);
    canvas.Line(area.Left, area.Bottom, area.Right + 1, area.Bottom);

    // The series in their order, so that a later one lies over an earlier one.
    for (int s = 0; s < SeriesCount; ++s) {
        const std::vector<double>& values = points_.Values[static_cast<std::size_t>(s)];
        if (values.empty()) continue;
        canvas.SetPen(Series[s].Color, LineWidth);
        if (values.size() == 1) {
            const int x = XOf(area, 0), y = YOf(area, values[0]);
            canvas.Line(x, y, x + 4, y);
            continue;
        }
        for (std::size_t i = 1; i < values.size(); ++i)
            canvas.Line(XOf(area, static_cast<double>(i - 1)), YOf(area, values[i - 1]),
                        XOf(area, static_cast<double>(i)), YOf(area, values[i]));
    }
}

std::string TChart::ReadoutText() const {
    std::string out = "Точек: " + std::to_string(points_.Count) + "; ось X: 0 - " +
                      std::to_string(axisMax_) + "; ось Y: 0 - " +
                      FormatFixed(valueMax_, DecimalsOf(valueStep_));
    if (points_.Count == 0) return out;
    for (int s = 0; s < SeriesCount; ++s) {
        out += "\r\n";
        out += Series[s].Caption;
        out += ':';
        for (double v : points_.Values[static_cast<std::size_t>(s)]) {
            out += ' ';
            out += FormatFixed(v, 2);
        }
    }
    return out;
}
