#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>

#include "dialog/meters/arc_metter.h"
#include "unit/dialog/meters/recording_canvas.h"

namespace {

using TKind = TRecordingCanvas::TKind;
using TCoords = std::array<int, 4>;
constexpr TColor kNeedle = 0x000080;

// A default meter with its needle in a colour of its own.
struct TArcFixture : THosted<TArcMetter> {
    TArcFixture() { control.SetPointerColor(kNeedle); }
    std::vector<TRecordingCanvas::TCall> Ticks(const TRecordingCanvas& c) const {
        std::vector<TRecordingCanvas::TCall> ticks;
        for (const auto& line : c.Of(TKind::Line, 0x000000))
            if (line.PenWidth == 1) ticks.push_back(line);
        return ticks;
    }
};

TEST(ArcMetter, TicksNeedleAndTextsOfADefaultMeter) {
    TArcFixture f;
    f.control.SetValue(100);
    const TRecordingCanvas c = f.Paint();

    ASSERT_EQ(c.Of(TKind::Rect).size(), 1u);
    EXPECT_EQ(c.calls[0].Coords(), (TCoords{0, 0, 100, 50}));
    EXPECT_EQ(c.calls[0].Color, 0xFFFFFFu);

    const auto ticks = f.Ticks(c);
    ASSERT_EQ(ticks.size(), 11u);
    EXPECT_EQ(ticks.front().Coords(), (TCoords{96, 32, 91, 34})); // label 100
    EXPECT_EQ(ticks.back().Coords(), (TCoords{3, 32, 8, 34}));    // label 0

    const auto needle = c.Of(TKind::Line, kNeedle);
    ASSERT_EQ(needle.size(), 3u);
    EXPECT_EQ(needle[0].Coords(), (TCoords{50, 48, 98, 31}));
    EXPECT_EQ(needle[1].Coords(), (TCoords{51, 48, 98, 31}));
    EXPECT_EQ(needle[2].Coords(), (TCoords{49, 48, 98, 31}));
    EXPECT_EQ(c.calls.back().Coords(), needle[2].Coords()); // drawn last, over the readout

    // Labels centred under the ticks' inner ends, captions in the corners, readout centred.
    const auto labels = c.Of(TKind::Text, 0xFF0000);
    ASSERT_EQ(labels.size(), 13u);
    EXPECT_EQ(labels[0].Str, "100");
    EXPECT_EQ(labels[0].A, 91 - 15 / 2);
    EXPECT_EQ(labels[0].B, 34);
    EXPECT_EQ(labels[10].Str, "0");
    EXPECT_EQ(labels[11].Coords(), (TCoords{2, 2, 0, 0}));  // "M"
    EXPECT_EQ(labels[12].Coords(), (TCoords{88, 2, 0, 0})); // "x1"
    const auto readout = c.Of(TKind::Text, 0x0000FF);
    ASSERT_EQ(readout.size(), 1u);
    EXPECT_EQ(readout[0].Str, "100.0");
    EXPECT_EQ(readout[0].A, 37); // trunc(50 - 12.5)
    EXPECT_EQ(readout[0].B, 34); // trunc(42.5 - 8)
}

TEST(ArcMetter, ArcIsAChainOfThreePixelSegmentsFromTheRightEnd) {
    TArcFixture f;
    const TRecordingCanvas c = f.Paint();
    const auto arc = c.Of(TKind::Line, 0x000000);
    std::vector<TRecordingCanvas::TCall> segments;
    for (const auto& line : arc)
        if (line.PenWidth == 2) segments.push_back(line);
    // 135 degrees of a 50-pixel radius in steps of 3/50 radians: 40 segments, the last
    // one overshooting the left end.
    ASSERT_EQ(segments.size(), 40u);
    EXPECT_EQ(segments.front().A, 96);
    EXPECT_EQ(segments.front().B, 32);
    for (std::size_t i = 1; i < segments.size(); ++i) {
        EXPECT_EQ(segments[i].A, segments[i - 1].C);
        EXPECT_EQ(segments[i].B, segments[i - 1].D);
    }
    EXPECT_LE(segments.back().C, 3);
}

TEST(ArcMetter, LabelsRunFromMaxOnTheRightToMinOnTheLeft) {
    TArcFixture f;
    f.control.SetMax(300);
    f.control.SetLabelsCount(5);
    const auto labels = f.Paint().TextsIn(0xFF0000);
    EXPECT_EQ(labels, (std::vector<std::string>{"300", "240", "180", "120", "60", "0", "M", "x1"}));
}

TEST(ArcMetter, NeedleStopsAtTheEndsWhileTheReadoutShowsTheValue) {
    TArcFixture f;
    f.control.SetValue(150);
    auto c = f.Paint();
    EXPECT_EQ(c.Of(TKind::Line, kNeedle)[0].Coords(), (TCoords{50, 48, 98, 31}));
    EXPECT_EQ(c.TextsIn(0x0000FF), std::vector<std::string>{"150.0"});

    f.control.SetValue(-20);
    c = f.Paint();
    EXPECT_EQ(c.Of(TKind::Line, kNeedle)[0].Coords(), (TCoords{50, 48, 1, 31}));
    EXPECT_EQ(f.control.ReadoutText(), "-20.0");
}

TEST(ArcMetter, DisabledShowsArcAndCaptionsOnly) {
    TArcFixture f;
    f.control.SetEnabled(false);
    const TRecordingCanvas c = f.Paint();
    EXPECT_EQ(c.calls[0].Color, kColorInactiveCaption);
    EXPECT_FALSE(c.Of(TKind::Line, 0x000000).empty());
    EXPECT_TRUE(f.Ticks(c).empty());
    EXPECT_TRUE(c.Of(TKind::Line, kNeedle).empty());
    EXPECT_TRUE(c.TextsIn(0x0000FF).empty());
    EXPECT_EQ(c.TextsIn(0xFF0000), (std::vector<std::string>{"M", "x1"}));
}

TEST(ArcMetter, ValuesFromAnUntrustedRecord) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    TArcFixture f;
    struct {
        double value;
        int tipX;
        const char* readout;
    } const cases[] = {
        {std::nan(""), 1, "NAN"}, {kInf, 98, "INF"}, {-kInf, 1, "-INF"}, {1e300, 98, nullptr}};
    for (const auto& k : cases) {
        f.control.SetValue(k.value);
        const TRecordingCanvas c = f.Paint();
        EXPECT_EQ(c.Of(TKind::Line, kNeedle)[0].C, k.tipX) << k.value;
        if (k.readout) {
            EXPECT_EQ(f.control.ReadoutText(), k.readout);
        }
    }
    EXPECT_EQ(f.control.ReadoutText().size(), 303u); // 1e300 in full, with one decimal

    // A range wider than the largest double: the middle still reads 0, the needle of 0
    // stands at the top.
    f.control.SetMin(-1e308);
    f.control.SetMax(1e308);
    f.control.SetValue(0);
    const TRecordingCanvas c = f.Paint();
    EXPECT_EQ(c.TextsIn(0xFF0000)[5], "0");
    EXPECT_EQ(c.Of(TKind::Line, kNeedle)[0].Coords(), (TCoords{50, 48, 50, 2}));
}

TEST(ArcMetter, DegenerateSizesAndCountsTerminate) {
    TArcFixture f;
    f.control.SetSize(0, 0);
    f.Paint();
    f.control.SetSize(0, 50);
    auto c = f.Paint();
    for (const auto& line : c.Of(TKind::Line, 0x000000))
        EXPECT_EQ(line.PenWidth, 1); // no arc
    f.control.SetSize(-10, INT_MAX);
    EXPECT_EQ(f.control.Width(), 0);
    EXPECT_EQ(f.control.Height(), TArcMetter::kMaxExtent);
    f.Paint();
    // More intervals than the arc has pixels: no ticks at all rather than minutes of them.
    f.control.SetSize(100, 50);
    f.control.SetLabelsCount(INT_MAX);
    c = f.Paint();
    EXPECT_TRUE(f.Ticks(c).empty());
    EXPECT_EQ(c.Of(TKind::Line, kNeedle).size(), 3u);
}

} // namespace
