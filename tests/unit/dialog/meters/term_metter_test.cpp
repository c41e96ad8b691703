#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "dialog/meters/term_metter.h"
#include "unit/dialog/meters/recording_canvas.h"

namespace {

using TKind = TRecordingCanvas::TKind;
using TCoords = std::array<int, 4>;
constexpr TColor kRed = 0x0000FF, kSilver = 0xC0C0C0, kBlue = 0xFF0000;

std::vector<int> TickRows(const TRecordingCanvas& c) {
    std::vector<int> rows;
    for (const auto& line : c.Of(TKind::Line, 0x000000))
        rows.push_back(line.B);
    return rows;
}

TEST(TermMetter, GeometryOfADefaultThermometer) {
    THosted<TTermMetter> f;
    f.control.SetValue(50);
    const TRecordingCanvas c = f.Paint();

    EXPECT_EQ(c.Of(TKind::Rect, kSilver).at(0).Coords(), (TCoords{22, 18, 27, 184})); // tube
    const auto bulb = c.Of(TKind::Ellipse, kRed).at(0);
    EXPECT_EQ(bulb.Coords(), (TCoords{17, 182, 33, 198}));
    EXPECT_EQ(bulb.Pen, kSilver);
    const auto column = c.Of(TKind::Rect, kRed);
    ASSERT_EQ(column.size(), 1u);
    EXPECT_EQ(column[0].Coords(), (TCoords{23, 101, 26, 190}));

    EXPECT_EQ(TickRows(c), (std::vector<int>{20, 36, 52, 68, 84, 100, 116, 132, 148, 164, 180}));
    const auto ticks = c.Of(TKind::Line, 0x000000);
    EXPECT_EQ(ticks[0].Coords(), (TCoords{2, 20, 18, 20}));
    // Labels stand on their ticks, right-aligned to the ticks' ends.
    const auto labels = c.Of(TKind::Text, kBlue);
    ASSERT_EQ(labels.size(), 12u);
    EXPECT_EQ(labels[0].Str, "100");
    EXPECT_EQ(labels[0].Coords(), (TCoords{18 - 15, 20 - 8, 0, 0}));
    EXPECT_EQ(labels[11].Coords(), (TCoords{50 - 5 - 2, 2, 0, 0})); // "C"
    // Black on creation, beside the column's top.
    const auto readout = c.Of(TKind::Text, 0x000000);
    ASSERT_EQ(readout.size(), 1u);
    EXPECT_EQ(readout[0].Coords(), (TCoords{29, 101 - 4, 0, 0}));
    EXPECT_EQ(readout[0].Str, "50.0");
}

TEST(TermMetter, ColumnStopsAtTheScaleEnds) {
    THosted<TTermMetter> f;
    const struct {
        double value;
        int top;
    } cases[] = {{100, 20}, {250, 20}, {0, 182}, {-40, 182}, {std::nan(""), 182}, {HUGE_VAL, 20}};
    for (const auto& k : cases) {
        f.control.SetValue(k.value);
        EXPECT_EQ(f.Paint().Of(TKind::Rect, kRed).at(0).B, k.top) << k.value;
    }
    f.control.SetValue(-40);
    EXPECT_EQ(f.Paint().TextsIn(0x000000), std::vector<std::string>{"-40.0"});
}

TEST(TermMetter, IntegerStepLeavesRoomForExtraTicksOrNone) {
    THosted<TTermMetter> f;
    // S = 162, step 3: 55 ticks down to y = 182, the labels continuing below Min.
    f.control.SetLabelsCount(50);
    auto c = f.Paint();
    ASSERT_EQ(TickRows(c).size(), 55u);
    EXPECT_EQ(TickRows(c).back(), 182);
    EXPECT_EQ(c.TextsIn(kBlue)[54], "-8");
    // More intervals than pixels: step 0, no ticks, the rest as usual.
    f.control.SetLabelsCount(163);
    c = f.Paint();
    EXPECT_TRUE(TickRows(c).empty());
    EXPECT_EQ(c.Of(TKind::Rect, kRed).size(), 1u);
    // No scale height at all, or no size at all.
    for (const auto& [w, h] : {std::pair{50, 20}, {50, 5}, {0, 0}, {1, 30000}}) {
        f.control.SetSize(w, h);
        f.control.SetLabelsCount(10);
        f.Paint();
    }
}

TEST(TermMetter, DisabledShowsTubeGreyBulbAndCaption) {
    THosted<TTermMetter> f;
    f.control.SetEnabled(false);
    const TRecordingCanvas c = f.Paint();
    EXPECT_EQ(c.calls[0].Color, kColorInactiveCaption);
    EXPECT_EQ(c.Of(TKind::Rect, kSilver).size(), 1u);
    EXPECT_EQ(c.Of(TKind::Ellipse, 0x808080).size(), 1u);
    EXPECT_TRUE(c.Of(TKind::Line).empty());
    EXPECT_TRUE(c.Of(TKind::Rect, kRed).empty());
    ASSERT_EQ(c.Of(TKind::Text).size(), 1u);
    EXPECT_EQ(c.Of(TKind::Text)[0].Str, "C");
}

} // namespace
