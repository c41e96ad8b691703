#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "dialog/meters/rez_metter.h"
#include "unit/dialog/meters/recording_canvas.h"

namespace {

using TKind = TRecordingCanvas::TKind;
using TCoords = std::array<int, 4>;

std::vector<int> ReedHeights(const TRecordingCanvas& c) {
    std::vector<int> heights;
    for (const auto& reed : c.Of(TKind::Rect, 0x000000))
        heights.push_back(reed.D - reed.B);
    return heights;
}

TEST(RezMetter, GeometryOfADefaultMeter) {
    THosted<TRezMetter> f;
    const TRecordingCanvas c = f.Paint();

    EXPECT_EQ(c.Of(TKind::Rect, 0xC0C0C0).at(0).Coords(), (TCoords{3, 20, 146, 35})); // bar

    const auto ticks = c.Of(TKind::Line, 0x000000);
    ASSERT_EQ(ticks.size(), 11u);
    for (std::size_t k = 0; k < ticks.size(); ++k) {
        const int x = 7 + 13 * static_cast<int>(k);
        EXPECT_EQ(ticks[k].Coords(), (TCoords{x, 35, x, 40}));
    }
    const auto labels = c.Of(TKind::Text, 0xFF0000);
    ASSERT_EQ(labels.size(), 13u);
    EXPECT_EQ(labels[0].Coords(), (TCoords{7 - 5, 40, 0, 0}));
    EXPECT_EQ(labels[0].Str, "45");
    EXPECT_EQ(labels[10].Str, "55");
    EXPECT_EQ(labels[11].Coords(), (TCoords{7, 5, 0, 0}));   // "Hz"
    EXPECT_EQ(labels[12].Coords(), (TCoords{133, 5, 0, 0})); // "x1"

    const auto reeds = c.Of(TKind::Rect, 0x000000);
    ASSERT_EQ(reeds.size(), 21u);
    EXPECT_EQ(reeds[10].Coords(), (TCoords{71, 21, 77, 33})); // 50.0, full height
    EXPECT_EQ(reeds[9].Coords(), (TCoords{64, 24, 70, 30}));  // half
    EXPECT_EQ(reeds[8].Coords(), (TCoords{57, 26, 63, 29}));  // quarter
    EXPECT_EQ(reeds[0].Coords(), (TCoords{3, 27, 9, 28}));    // flat

    const auto readout = c.Of(TKind::Text, 0x0000FF);
    ASSERT_EQ(readout.size(), 1u);
    EXPECT_EQ(readout[0].Coords(), (TCoords{65, 5, 0, 0}));
    EXPECT_EQ(readout[0].Str, "50.0");
}

TEST(RezMetter, ReedsNearestTheValueStandTallest) {
    const std::vector<int> peak = {1, 1, 1, 1, 1, 1, 1, 1, 3, 6, 12, 6, 3, 1, 1, 1, 1, 1, 1, 1, 1};
    THosted<TRezMetter> f;
    EXPECT_EQ(ReedHeights(f.Paint()), peak);
    f.control.SetValue(50.2); // 0.2 from 50.0, 0.3 and 0.7 from the halves, 0.8 and 1.2
    EXPECT_EQ(ReedHeights(f.Paint()), peak);
    // Far outside the range, or no reading: every reed flat, the readout true.
    for (double v : {58.0, 30.0, std::nan(""), -HUGE_VAL}) {
        f.control.SetValue(v);
        EXPECT_EQ(ReedHeights(f.Paint()), std::vector<int>(21, 1)) << v;
    }
    EXPECT_EQ(f.control.ReadoutText(), "-INF");
}

TEST(RezMetter, ReedCountFollowsTheRangesParity) {
    THosted<TRezMetter> f;
    ASSERT_TRUE(f.control.SetMax(54));
    EXPECT_EQ(f.control.ReedIntervals(), 21);
    EXPECT_EQ(f.Paint().Of(TKind::Rect, 0x000000).size(), 22u);

    // Moving the range up needs Max first.
    ASSERT_TRUE(f.control.SetMax(55));
    EXPECT_FALSE(f.control.SetMin(55));
    ASSERT_TRUE(f.control.SetMax(65));
    ASSERT_TRUE(f.control.SetMin(55));
    EXPECT_EQ(f.control.ReedIntervals(), 20);
    f.control.SetValue(60);
    EXPECT_EQ(ReedHeights(f.Paint())[10], 12);

    ASSERT_TRUE(f.control.SetMin(-1e308));
    ASSERT_TRUE(f.control.SetMax(1e308));
    EXPECT_EQ(f.control.ReedIntervals(), 20);
    EXPECT_EQ(ReedHeights(f.Paint())[10],
              12); // the middle reed stands for 0, less than half a step from 60
}

TEST(RezMetter, NarrowOrDisabledMeters) {
    THosted<TRezMetter> f;
    f.control.SetWidth(9); // span 9 < 10 intervals: no ticks
    EXPECT_TRUE(f.Paint().Of(TKind::Line).empty());
    f.control.SetSize(0, 0);
    f.Paint();

    f.control.SetSize(150, 50);
    f.control.SetEnabled(false);
    const TRecordingCanvas c = f.Paint();
    EXPECT_EQ(c.calls[0].Color, kColorInactiveCaption);
    EXPECT_EQ(c.Of(TKind::Rect, 0xC0C0C0).size(), 1u);
    EXPECT_TRUE(c.Of(TKind::Line).empty());
    EXPECT_TRUE(c.Of(TKind::Rect, 0x000000).empty());
    EXPECT_EQ(c.TextsIn(0xFF0000), (std::vector<std::string>{"Hz", "x1"}));
    EXPECT_TRUE(c.TextsIn(0x0000FF).empty());
}

} // namespace
