#include "dialog/ui/edit_mask.h"

#include <gtest/gtest.h>

namespace {
const TEditMask DateMask("!99/99/00;1;_", '.', ':');
const TEditMask TimeMask("!90:00:00;1;_", '.', ':');
} // namespace

TEST(EditMask, ShowsTheWholeMaskWithItsSeparators) {
    EXPECT_EQ(DateMask.Empty(), "__.__.__");
    EXPECT_EQ(TEditMask("!99/99/00;1;_", '/', ':').Empty(), "__/__/__");
    EXPECT_EQ(TimeMask.Empty(), "__:__:__");
    EXPECT_EQ(TEditMask("99-99;1;*", '.', ':').Empty(), "**-**");
    EXPECT_EQ(DateMask.Value("1_.0_.__"), "1 .0 .  ");
}

TEST(EditMask, TextPutIntoTheMask) {
    EXPECT_EQ(DateMask.Apply("01.01.04"), "01.01.04");
    EXPECT_EQ(DateMask.Apply("1 .0_.2x"), "1_.0_.2_"); // lined up: place by place
    EXPECT_EQ(DateMask.Apply("14/3/26"), "14.32.6_");  // not lined up: the digits in order
    EXPECT_EQ(DateMask.Apply("1234567890"), "12.34.56");
    EXPECT_EQ(DateMask.Apply(""), "__.__.__");
}

TEST(EditMask, TypingFillsThePlacesAndStepsOverLiterals) {
    std::string shown = TimeMask.Empty();
    std::size_t caret = 0;
    for (char c : std::string("123045"))
        caret = TimeMask.Type(shown, caret, caret, c);
    EXPECT_EQ(shown, "12:30:45");
    EXPECT_EQ(caret, 8u);
    // No place left, and no digit: nothing changes.
    EXPECT_EQ(TimeMask.Type(shown, 8, 8, '9'), 8u);
    EXPECT_EQ(TimeMask.Type(shown, 0, 0, 'a'), 0u);
    EXPECT_EQ(shown, "12:30:45");
    // At a literal the digit goes to the next place.
    EXPECT_EQ(TimeMask.Type(shown, 2, 2, '7'), 4u);
    EXPECT_EQ(shown, "12:70:45");
    // Over a selection: it empties first.
    EXPECT_EQ(TimeMask.Type(shown, 0, 5, '0'), 1u);
    EXPECT_EQ(shown, "0_:__:45");
}

TEST(EditMask, DeletingEmptiesPlacesAndKeepsLiterals) {
    std::string shown = "12.03.04";
    EXPECT_EQ(DateMask.Backspace(shown, 3, 3), 1u); // over the literal to the place before
    EXPECT_EQ(shown, "1_.03.04");
    EXPECT_EQ(DateMask.Backspace(shown, 0, 0), 0u);
    EXPECT_EQ(DateMask.Delete(shown, 2, 2), 2u);
    EXPECT_EQ(shown, "1_._3.04");
    EXPECT_EQ(DateMask.Delete(shown, 0, 8), 0u);
    EXPECT_EQ(shown, "__.__.__");
    std::string wrongLength = "12";
    EXPECT_EQ(DateMask.Delete(wrongLength, 0, 0), 0u);
    EXPECT_EQ(wrongLength, "12");
}

TEST(EditMask, PastedDigitsAreTypedFromTheCaret) {
    std::string shown = DateMask.Empty();
    EXPECT_EQ(DateMask.Paste(shown, 0, 0, "14.03.2026"), 8u);
    EXPECT_EQ(shown, "14.03.20");
    EXPECT_EQ(DateMask.Paste(shown, 3, 5, "x9"), 4u);
    EXPECT_EQ(shown, "14.9_.20");
}
