#include "dialog/diagram/chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "unit/dialog/meters/recording_canvas.h"

namespace {

using TKind = TRecordingCanvas::TKind;

TDiagramPoints Points(std::vector<double> input, std::vector<double> battery = {}) {
    TDiagramPoints p;
    p.Count = static_cast<int>(input.size());
    for (auto& s : p.Values)
        s.assign(input.size(), 0.0);
    p.Values[0] = input;
    if (!battery.empty()) p.Values[2] = battery;
    return p;
}

} // namespace

TEST(Chart, AxesBeforeTheFirstDrawingAndAfterIt) {
    TChart chart;
    EXPECT_EQ(chart.AxisMax(), 99);
    EXPECT_EQ(chart.ReadoutText(), "Точек: 0; ось X: 0 - 99; ось Y: 0 - 100");
    chart.SetPoints(Points({220, 231.4, 225, 0, 219, 230, 228}));
    EXPECT_EQ(chart.AxisMax(), 6);
    EXPECT_EQ(chart.ValueStep(), 50);
    EXPECT_EQ(chart.ValueMax(), 250);
    chart.SetPoints(Points({0.3, 0.2}));
    EXPECT_EQ(chart.AxisMax(), 1);
    EXPECT_NEAR(chart.ValueMax(), 0.3, 1e-12);
    chart.SetPoints(Points({0, 0, 0}));
    EXPECT_EQ(chart.ValueMax(), 1); // a flat zero still has a scale
}

TEST(Chart, NiceSteps) {
    EXPECT_EQ(NiceStep(231.4, 5), 50);
    EXPECT_EQ(NiceStep(100, 5), 20);
    EXPECT_EQ(NiceStep(13.6, 5), 5);
    EXPECT_NEAR(NiceStep(1, 5), 0.2, 1e-12);
    EXPECT_EQ(NiceStep(99, 10), 10);
    EXPECT_EQ(NiceStep(0, 5), 1);
    EXPECT_EQ(NiceStep(std::numeric_limits<double>::quiet_NaN(), 5), 1);
    // A range whose raw step is itself a 1-2-5 step keeps it, whatever the last bit of the
    // runtime's pow and log10.
    for (int exponent = -6; exponent <= 6; ++exponent)
        for (double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * std::pow(10.0, exponent);
            EXPECT_NEAR(NiceStep(step * 5, 5), step, step * 1e-9) << step;
        }
}

TEST(Chart, SeriesAreLinesFromPointToPointOnTheWorkspaceColour) {
    TChart chart;
    chart.SetPoints(Points({100, 200, 50, 150}, {12, 13, 14, 12}));
    TRecordingCanvas canvas;
    chart.Paint(canvas, 400, 300);
    const auto rects = canvas.Of(TKind::Rect);
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ(rects.front().Coords(), (std::array<int, 4>{0, 0, 400, 300}));
    EXPECT_EQ(rects.front().Color, TChart::kBackground);

    const auto area = chart.PlotArea(canvas, 400, 300);
    const auto red = canvas.Of(TKind::Line, Series[0].Color);
    ASSERT_EQ(red.size(), 3u);
    EXPECT_EQ(red[0].Coords(), (std::array<int, 4>{area.Left, chart.YOf(area, 100),
                                                   chart.XOf(area, 1), chart.YOf(area, 200)}));
    EXPECT_EQ(red[2].C, area.Right); // the last point at the end of the axis
    // The largest value at the top of the scale, 0 on the axis.
    EXPECT_EQ(chart.YOf(area, 200), area.Top);
    EXPECT_EQ(chart.YOf(area, 0), area.Bottom);
    EXPECT_EQ(chart.YOf(area, -1), area.Bottom); // a garbled reading stays on the axis
    // Every series is drawn, the unchecked ones along 0.
    for (int s = 0; s < SeriesCount; ++s)
        EXPECT_EQ(canvas.Of(TKind::Line, Series[s].Color).size(), 3u) << s;
    for (const auto& line : canvas.Of(TKind::Line, Series[5].Color)) {
        EXPECT_EQ(line.B, area.Bottom);
        EXPECT_EQ(line.D, area.Bottom);
    }
    // Nothing is drawn outside the chart.
    for (const auto& c : canvas.calls)
        if (c.Kind != TKind::Text) {
            EXPECT_GE(std::min(c.A, c.C), 0);
            EXPECT_LE(std::max(c.A, c.C), 400);
            EXPECT_GE(std::min(c.B, c.D), 0);
            EXPECT_LE(std::max(c.B, c.D), 300);
        }
    // The value scale is labelled from 0 in its steps.
    const auto labels = canvas.TextsIn(TChart::kAxis);
    EXPECT_NE(std::find(labels.begin(), labels.end(), "0"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "200"), labels.end());
}

TEST(Chart, OnePointAndTinyAreasDrawWithoutFault) {
    TChart chart;
    chart.SetPoints(Points({5}));
    TRecordingCanvas canvas;
    chart.Paint(canvas, 300, 200);
    EXPECT_EQ(canvas.Of(TKind::Line, Series[0].Color).size(), 1u);
    TRecordingCanvas tiny;
    chart.Paint(tiny, 3, 2);
    chart.Paint(tiny, 0, 0);
}

TEST(Chart, ReadoutListsEverySeriesPoints) {
    TChart chart;
    chart.SetPoints(Points({220, 221.256}, {13.5, 13.25}));
    const std::string text = chart.ReadoutText();
    EXPECT_EQ(text.substr(0, text.find('\r')), "Точек: 2; ось X: 0 - 1; ось Y: 0 - 250");
    EXPECT_NE(text.find("\r\nВходное напряжение: 220.00 221.26\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nНапряжение батареи: 13.50 13.25\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nЗаряд батареи: 0.00 0.00"), std::string::npos);
}
