#include "dialog/mainwindow/journal_images.h"

#include <gtest/gtest.h>

#include <set>

#include "unit/dialog/meters/recording_canvas.h"

TEST(JournalImages, EachKindDrawsWithinItsSquareInColoursOfItsOwn) {
    std::set<std::set<TColor>> palettes;
    for (int kind = 0; kind < 5; ++kind) {
        TRecordingCanvas canvas;
        DrawJournalImage(canvas, kind);
        ASSERT_FALSE(canvas.calls.empty()) << kind;
        std::set<TColor> colours;
        for (const auto& c : canvas.calls) {
            colours.insert(c.Color);
            for (int v : c.Coords())
                EXPECT_TRUE(v >= 0 && v <= JournalImageSize) << kind;
        }
        palettes.insert(colours);
    }
    EXPECT_EQ(palettes.size(), 5u); // no two kinds look alike
    TRecordingCanvas none;
    DrawJournalImage(none, 5);
    EXPECT_TRUE(none.calls.empty());
}
