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

// A value the control cannot show apart from the last one (same readout at the pattern's
// resolution, same indicator pixels) asks for no redraw; one that changes either does. A
// value never touches the face; every change of the look does, and painting does not.
TEST(MetterRules, OnlyAValueThatLooksDifferentRedrawsAndOnlyTheIndicator) {
    THosted<TArcMetter> arc;
    arc.control.SetValue(50);
    EXPECT_EQ(arc.redraws, 1);
    const std::uint32_t face = arc.control.FaceVersion();
    arc.control.SetValue(50.02); // "50.0", and the needle's tip on the same pixel
    EXPECT_EQ(arc.redraws, 1);
    EXPECT_EQ(arc.control.Value(), 50.02); // stored all the same: it is what the meter reads
    arc.control.SetValue(50.06);           // "50.1"
    EXPECT_EQ(arc.redraws, 2);
    arc.control.SetValueFormat("0");
    EXPECT_EQ(arc.redraws, 3);
    arc.control.SetValue(50.3); // "50", the tip still on its pixel
    EXPECT_EQ(arc.redraws, 3);
    arc.control.SetValue(58); // "58" and a tip further on
    EXPECT_EQ(arc.redraws, 4);
    EXPECT_NE(arc.control.FaceVersion(), face); // the pattern changed the look
    const std::uint32_t face2 = arc.control.FaceVersion();
    arc.Paint();
    EXPECT_EQ(arc.control.FaceVersion(), face2);
    arc.control.SetValue(99);
    EXPECT_EQ(arc.control.FaceVersion(), face2);

    // Disabled, no indicator shows, so no value needs a redraw until it is enabled again.
    arc.control.SetEnabled(false);
    const int redraws = arc.redraws;
    arc.control.SetValue(12);
    EXPECT_EQ(arc.redraws, redraws);
    arc.control.SetEnabled(true);
    EXPECT_EQ(arc.redraws, redraws + 1);

    THosted<TTermMetter> term; // 50 x 200: 162 pixels of scale for 0 ... 100
    term.control.SetValue(40);
    term.control.SetValue(40.04); // "40.0", the column's top on the same row
    EXPECT_EQ(term.redraws, 1);
    term.control.SetValue(41); // a row higher
    EXPECT_EQ(term.redraws, 2);

    THosted<TRezMetter> rez;     // reeds 0.5 Hz apart
    rez.control.SetValue(50.01); // "50.0", the same reeds standing
    EXPECT_EQ(rez.redraws, 0);
    rez.control.SetValue(50.3); // "50.3", the next reed the tallest
    EXPECT_EQ(rez.redraws, 1);

    THosted<TGauge> gauge; // 117 pixels high
    gauge.control.SetValue(25);
    gauge.control.SetValue(25.4); // "25%", a bar of 29 pixels either way
    EXPECT_EQ(gauge.redraws, 1);
    gauge.control.SetValue(26);
    EXPECT_EQ(gauge.redraws, 2);
}

// The two layers together draw exactly what Paint draws, in the same order.
template <typename TControl> void CheckLayersMakeThePaint(double value) {
    THosted<TControl> f;
    f.control.SetValue(value);
    for (bool enabled : {true, false}) {
        f.control.SetEnabled(enabled);
        const TRecordingCanvas whole = f.Paint();
        TRecordingCanvas layered;
        f.control.PaintFace(layered);
        f.control.PaintIndicator(layered);
        ASSERT_EQ(layered.calls.size(), whole.calls.size()) << enabled;
        for (std::size_t i = 0; i < whole.calls.size(); ++i) {
            EXPECT_EQ(layered.calls[i].Kind, whole.calls[i].Kind) << i;
            EXPECT_EQ(layered.calls[i].Coords(), whole.calls[i].Coords()) << i;
            EXPECT_EQ(layered.calls[i].Color, whole.calls[i].Color) << i;
            EXPECT_EQ(layered.calls[i].PenWidth, whole.calls[i].PenWidth) << i;
            EXPECT_EQ(layered.calls[i].Str, whole.calls[i].Str) << i;
        }
        EXPECT_EQ(layered.FontColor(), whole.FontColor());
    }
}

TEST(MetterRules, FaceAndIndicatorTogetherAreTheWholePaint) {
    CheckLayersMakeThePaint<TArcMetter>(37);
    CheckLayersMakeThePaint<TTermMetter>(61);
    CheckLayersMakeThePaint<TRezMetter>(51.2);
    CheckLayersMakeThePaint<TGauge>(42);
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
