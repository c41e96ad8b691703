#include <gtest/gtest.h>

#include <cmath>

#include "dialog/meters/arc_metter.h"
#include "dialog/meters/gauge.h"
#include "dialog/meters/rez_metter.h"
#include "dialog/meters/term_metter.h"
#include "unit/dialog/meters/recording_canvas.h"

namespace {

TEST(MetterRules, RefusedOrUnchangedValuesDoNotRedraw) {
    THosted<TArcMetter> f;
    EXPECT_FALSE(f.control.SetMin(100)); // not below Max
    EXPECT_FALSE(f.control.SetMax(-5));  // not above Min
    EXPECT_FALSE(f.control.SetMin(0));   // unchanged
    EXPECT_FALSE(f.control.SetMin(std::nan("")));
    EXPECT_FALSE(f.control.SetMax(HUGE_VAL));
    EXPECT_FALSE(f.control.SetLabelsCount(0));
    EXPECT_FALSE(f.control.SetLabelsCount(-3));
    EXPECT_FALSE(f.control.SetLabelsCount(10));
    EXPECT_EQ(f.redraws, 0);
    EXPECT_TRUE(f.control.Min() == 0 && f.control.Max() == 100 && f.control.LabelsCount() == 10);
    EXPECT_TRUE(f.control.SetMin(99.5));
    EXPECT_TRUE(f.control.SetLabelsCount(1));
    EXPECT_EQ(f.redraws, 2);

    // Other unchanged values redraw nothing either.
    f.redraws = 0;
    f.control.SetValue(0);
    f.control.SetValue(-0.0);
    f.control.SetScaleColor(0x000000);
    f.control.SetSize(100, 50);
    f.control.SetEnabled(true);
    f.control.SetMax(100);
    EXPECT_EQ(f.redraws, 0);

    f.control.SetValue(std::nan(""));
    f.control.SetValue(std::nan("")); // no reading twice: one redraw
    f.control.SetScaleColor(0x80000005);
    f.control.SetHeight(60);
    f.control.SetEnabled(false);
    f.control.SetSubType("x1"); // texts always redraw
    EXPECT_EQ(f.redraws, 5);

    // Without a host nothing is scheduled and nothing drawn.
    f.control.DetachHost();
    f.control.SetValue(5);
    TRecordingCanvas canvas;
    f.control.Paint(canvas);
    EXPECT_EQ(f.redraws, 5);
    EXPECT_TRUE(canvas.calls.empty());
}

// Painting changes the font colour and puts it back without a redraw; the owner's font
// changes redraw.
template <typename TControl> void CheckFontHandling() {
    THosted<TControl> f;
    f.control.Font().SetColor(0x00ABCDEF);
    f.control.Font().SetSize(7);
    EXPECT_EQ(f.redraws, 2);
    const TRecordingCanvas canvas = f.Paint();
    EXPECT_EQ(f.redraws, 2);
    EXPECT_EQ(f.control.Font().Color(), 0x00ABCDEFu);
    EXPECT_EQ(canvas.FontColor(), 0x00ABCDEFu);
    EXPECT_EQ(canvas.fontSize, 7);
    EXPECT_FALSE(canvas.Of(TRecordingCanvas::TKind::Text).empty());
}

TEST(MetterRules, FontColourIsRestoredAndFontChangesRedraw) {
    CheckFontHandling<TArcMetter>();
    CheckFontHandling<TTermMetter>();
    CheckFontHandling<TRezMetter>();
    CheckFontHandling<TGauge>();
    TArcMetter arc;
    EXPECT_EQ(arc.Font().Name(), "Arial");
    EXPECT_EQ(arc.Font().Size(), 6);
}

TEST(MetterRules, ReadoutTextFollowsTheValuePattern) {
    TArcMetter arc;
    arc.SetValue(230.46);
    EXPECT_EQ(arc.ReadoutText(), "230.5");
    arc.SetValueFormat("0");
    EXPECT_EQ(arc.ReadoutText(), "230");
    arc.SetValueFormat("0.00");
    EXPECT_EQ(arc.ReadoutText(), "230.46");
    TTermMetter term;
    term.SetValue(-0.04);
    EXPECT_EQ(term.ReadoutText(), "0.0");
    TRezMetter rez;
    EXPECT_EQ(rez.ReadoutText(), "50.0");
}

TEST(Gauge, BarRisesFromTheBottomWithThePercentage) {
    THosted<TGauge> f;
    f.control.SetValue(25);
    f.control.SetTextColor(kColorGrayText);
    EXPECT_EQ(f.redraws, 2);
    TRecordingCanvas c = f.Paint();
    using TKind = TRecordingCanvas::TKind;
    ASSERT_EQ(c.Of(TKind::Rect, kColorWindow).size(), 1u);
    const auto bar = c.Of(TKind::Rect, TGauge::kLime);
    ASSERT_EQ(bar.size(), 1u);
    EXPECT_EQ(bar[0].Coords(), (std::array<int, 4>{0, 117 - 29, 73, 117}));
    const auto text = c.Of(TKind::Text, kColorGrayText);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].Str, "25%");
    EXPECT_EQ(text[0].Coords(), (std::array<int, 4>{(73 - 15) / 2, (117 - 8) / 2, 0, 0}));

    // A load of 255 means "no number" in the record; out of range either way.
    const struct {
        double value;
        const char* text;
        int bar;
    } cases[] = {{255, "100%", 117}, {-5, "0%", 0}, {std::nan(""), "0%", 0}, {99.9, "99%", 116}};
    for (const auto& k : cases) {
        f.control.SetValue(k.value);
        EXPECT_EQ(f.control.ReadoutText(), k.text);
        c = f.Paint();
        const auto b = c.Of(TKind::Rect, TGauge::kLime);
        EXPECT_EQ(b.empty() ? 0 : b[0].D - b[0].B, k.bar) << k.value;
    }
    f.control.SetEnabled(false);
    EXPECT_TRUE(f.Paint().Of(TKind::Rect, TGauge::kLime).empty());
}

} // namespace
