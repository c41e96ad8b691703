#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "dialog/meters/arc_metter.h"
#include "unit/dialog/meters/recording_canvas.h"

namespace {

using TKind = TRecordingCanvas::TKind;
using TCoords = std::array<int, 4>;
constexpr TColor kNeedle = 0x000080;

// A default meter with its needle in a colour of its own.
struct TArcFixture : THosted<TArcMetter> {
    TArcFixture() { control.SetPointerColor(kNeedle); }
};

// The scale's lines of one pen width: 2 for the arc, 1 for the ticks.
std::vector<TRecordingCanvas::TCall> ScaleLines(const TRecordingCanvas& c, int width) {
    std::vector<TRecordingCanvas::TCall> lines;
    for (const auto& line : c.Of(TKind::Line, 0x000000))
        if (line.PenWidth == width) lines.push_back(line);
    return lines;
}

TEST(ArcMetter, GeometryOfADefaultMeter) {
    TArcFixture f;
    f.control.SetValue(100);
    const TRecordingCanvas c = f.Paint();
    EXPECT_EQ(c.calls[0].Coords(), (TCoords{0, 0, 100, 50}));
    EXPECT_EQ(c.calls[0].Color, 0xFFFFFFu);

    // 135 degrees of a 50-pixel radius in steps of 3/50 radians: 40 joined segments from
    // the right end, the last one overshooting the left end.
    const auto arc = ScaleLines(c, 2);
    ASSERT_EQ(arc.size(), 40u);
    EXPECT_EQ(arc.front().A, 96);
    EXPECT_EQ(arc.front().B, 32);
    for (std::size_t i = 1; i < arc.size(); ++i)
        EXPECT_EQ(arc[i].A, arc[i - 1].C);
    EXPECT_LE(arc.back().C, 3);

    const auto ticks = ScaleLines(c, 1);
    ASSERT_EQ(ticks.size(), 11u);
    EXPECT_EQ(ticks.front().Coords(), (TCoords{96, 32, 91, 34})); // label 100
    EXPECT_EQ(ticks.back().Coords(), (TCoords{3, 32, 8, 34}));    // label 0

    // Three lines, drawn last so that they cover the readout.
    const auto needle = c.Of(TKind::Line, kNeedle);
    ASSERT_EQ(needle.size(), 3u);
    EXPECT_EQ(needle[0].Coords(), (TCoords{50, 48, 98, 31}));
    EXPECT_EQ(needle[1].Coords(), (TCoords{51, 48, 98, 31}));
    EXPECT_EQ(needle[2].Coords(), (TCoords{49, 48, 98, 31}));
    EXPECT_EQ(c.calls.back().Coords(), needle[2].Coords());

    // Labels centred under the ticks' inner ends, captions in the corners.
    const auto labels = c.Of(TKind::Text, 0xFF0000);
    ASSERT_EQ(labels.size(), 13u);
    EXPECT_EQ(labels[0].Coords(), (TCoords{91 - 15 / 2, 34, 0, 0}));
    EXPECT_EQ(labels[11].Coords(), (TCoords{2, 2, 0, 0}));  // "M"
    EXPECT_EQ(labels[12].Coords(), (TCoords{88, 2, 0, 0})); // "x1"
    const auto readout = c.Of(TKind::Text, 0x0000FF);
    ASSERT_EQ(readout.size(), 1u);
    EXPECT_EQ(readout[0].Coords(), (TCoords{37, 34, 0, 0})); // trunc(50 - 12.5), trunc(42.5 - 8)
    EXPECT_EQ(readout[0].Str, "100.0");
}

TEST(ArcMetter, LabelsRunFromMaxOnTheRightToMinOnTheLeft) {
    TArcFixture f;
    f.control.SetMax(300);
    f.control.SetLabelsCount(5);
    EXPECT_EQ(f.Paint().TextsIn(0xFF0000),
              (std::vector<std::string>{"300", "240", "180", "120", "60", "0", "M", "x1"}));
}

TEST(ArcMetter, NeedleStopsAtTheEndsWhileTheReadoutShowsTheValue) {
    TArcFixture f;
    const struct {
        double value;
        int tipX;
        const char* readout;
    } cases[] = {{150, 98, "150.0"},    {-20, 1, "-20.0"},      {std::nan(""), 1, "NAN"},
                 {HUGE_VAL, 98, "INF"}, {-HUGE_VAL, 1, "-INF"}, {1e300, 98, nullptr}};
    for (const auto& k : cases) {
        f.control.SetValue(k.value);
        const TRecordingCanvas c = f.Paint();
        EXPECT_EQ(c.Of(TKind::Line, kNeedle)[0].Coords(), (TCoords{50, 48, k.tipX, 31})) << k.value;
        if (k.readout) {
            EXPECT_EQ(c.TextsIn(0x0000FF), std::vector<std::string>{k.readout});
        }
    }
    EXPECT_EQ(f.control.ReadoutText().size(), 303u); // 1e300 in full, with one decimal

    // A range wider than the largest double: the middle label still reads 0, and the
    // needle of 0 stands at the top.
    f.control.SetMin(-1e308);
    f.control.SetMax(1e308);
    f.control.SetValue(0);
    const TRecordingCanvas c = f.Paint();
    EXPECT_EQ(c.TextsIn(0xFF0000)[5], "0");
    EXPECT_EQ(c.Of(TKind::Line, kNeedle)[0].Coords(), (TCoords{50, 48, 50, 2}));
}

TEST(ArcMetter, DisabledShowsArcAndCaptionsOnly) {
    TArcFixture f;
    f.control.SetEnabled(false);
    const TRecordingCanvas c = f.Paint();
    EXPECT_EQ(c.calls[0].Color, kColorInactiveCaption);
    EXPECT_EQ(ScaleLines(c, 2).size(), 40u);
    EXPECT_TRUE(ScaleLines(c, 1).empty());
    EXPECT_TRUE(c.Of(TKind::Line, kNeedle).empty());
    EXPECT_EQ(c.TextsIn(0xFF0000), (std::vector<std::string>{"M", "x1"}));
    EXPECT_TRUE(c.TextsIn(0x0000FF).empty());
}

TEST(ArcMetter, DegenerateSizesAndCountsTerminate) {
    TArcFixture f;
    f.control.SetSize(0, 50); // no radius: no arc
    EXPECT_TRUE(ScaleLines(f.Paint(), 2).empty());
    f.control.SetSize(-10, INT_MAX);
    EXPECT_EQ(f.control.Width(), 0);
    EXPECT_EQ(f.control.Height(), TArcMetter::kMaxExtent);
    f.Paint();
    // More intervals than the arc has pixels: no ticks rather than minutes of them.
    f.control.SetSize(100, 50);
    f.control.SetLabelsCount(INT_MAX);
    const TRecordingCanvas c = f.Paint();
    EXPECT_TRUE(ScaleLines(c, 1).empty());
    EXPECT_EQ(c.Of(TKind::Line, kNeedle).size(), 3u);
}

} // namespace
