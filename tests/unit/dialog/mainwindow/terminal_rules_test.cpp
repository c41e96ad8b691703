#include "dialog/mainwindow/terminal_rules.h"

#include <gtest/gtest.h>

#include "dialog/mainwindow/command_queue.h"

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

TEST(CommandQueue, OneCommandAwaitsItsAnswerAtATimeTheRestGoInOrder) {
    TCommandQueue q;
    EXPECT_EQ(q.Submit({11, "Q1"}), TSubmitResult::SendNow);
    EXPECT_TRUE(q.Busy());
    EXPECT_EQ(q.Submit({6, ".5 0010"}), TSubmitResult::Queued);
    EXPECT_EQ(q.Submit({3, "05"}), TSubmitResult::Queued);
    auto next = q.Answered();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->Code, 6);
    EXPECT_EQ(next->Text, ".5 0010");
    next = q.Answered();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->Text, "05");
    EXPECT_FALSE(q.Answered());
    EXPECT_FALSE(q.Busy());
    // An answer to nobody's command (the calibration's) leaves the queue idle.
    EXPECT_FALSE(q.Answered());
    EXPECT_EQ(q.Submit({1, ""}), TSubmitResult::SendNow);
}

TEST(CommandQueue, AFullQueueRefuses) {
    TCommandQueue q;
    q.Submit({1, ""});
    for (std::size_t i = 0; i < TCommandQueue::MaxPending; ++i)
        ASSERT_EQ(q.Submit({1, ""}), TSubmitResult::Queued);
    EXPECT_EQ(q.Submit({1, ""}), TSubmitResult::Refused);
    EXPECT_EQ(q.Pending(), TCommandQueue::MaxPending);
}
