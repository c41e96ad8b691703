#include "dialog/mainwindow/terminal_rules.h"

#include <gtest/gtest.h>

TEST(TerminalRules, OnlyANonEmptyLastLineWithTheCaretOnItIsSent) {
    EXPECT_EQ(DecideEnter(0, true, true), TEnterAction::Ignore);
    EXPECT_EQ(DecideEnter(0, true, false), TEnterAction::Ignore);
    EXPECT_EQ(DecideEnter(2, false, true), TEnterAction::Ignore);
    EXPECT_EQ(DecideEnter(2, false, false), TEnterAction::Ignore);
    EXPECT_EQ(DecideEnter(2, true, false), TEnterAction::LineBreak);
    EXPECT_EQ(DecideEnter(2, true, true), TEnterAction::Send);
    EXPECT_EQ(DecideEnter(255, true, true), TEnterAction::Send);
    EXPECT_EQ(DecideEnter(256, true, true), TEnterAction::Refuse);
    // Without a monitor nothing is sent, so nothing is too long.
    EXPECT_EQ(DecideEnter(1000, true, false), TEnterAction::LineBreak);
}

TEST(TerminalRules, AnswersLoseTheirLineEndsAndEmptyOnesShowNothing) {
    TAnswerLine a = AnswerLine("(230.0 195.0 229.0 025 50.0 13.6 31.0 00001000\r");
    EXPECT_TRUE(a.Shown);
    EXPECT_EQ(a.Text, "(230.0 195.0 229.0 025 50.0 13.6 31.0 00001000");
    EXPECT_EQ(a.Color, 0x0000FFFFu); // RGB(255,255,0)
    EXPECT_EQ(AnswerLine("NAK\r\n\r\n").Text, "NAK");
    EXPECT_EQ(AnswerLine("a\rb\r").Text, "a\rb"); // only the end is stripped
    // Only line ends: an empty line, the sign that the UPS did answer.
    a = AnswerLine("\r\n\r");
    EXPECT_TRUE(a.Shown);
    EXPECT_EQ(a.Text, "");
    EXPECT_FALSE(AnswerLine("").Shown);

    const TAnswerLine none = NoAnswerLine();
    EXPECT_TRUE(none.Shown);
    EXPECT_EQ(none.Text, "<нет ответа от UPS>");
    EXPECT_EQ(none.Color, 0x00808080u);
}
