#include "dialog/mainwindow/monitor_link.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/commands.h"
#include "common/messages.h"

namespace {

struct TPost {
    std::uint32_t Msg;
    std::uintptr_t WParam;
    std::intptr_t LParam;
    std::string Text; // what the argument's address held when it was posted
};

class TRecordingChannel : public IMonitorChannel {
public:
    bool Known() const override { return known; }
    void Post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        std::string text;
        if (msg == UM_RUNCOMMAND && lParam) text = reinterpret_cast<const char*>(lParam);
        posts.push_back({msg, wParam, lParam, text});
    }
    // The commands as the monitor would read them now, when it gets round to each.
    std::vector<std::string> CommandTextsNow() const {
        std::vector<std::string> texts;
        for (const TPost& p : posts)
            if (p.Msg == UM_RUNCOMMAND)
                texts.push_back(p.LParam ? reinterpret_cast<const char*>(p.LParam) : "<none>");
        return texts;
    }
    bool known = true;
    std::vector<TPost> posts;
};

class TCountingWait : public IWaitIndicator {
public:
    void BeginWait() override { log += "B"; }
    void EndWait() override { log += "E"; }
    std::string log;
};

class TRecordingOutput : public ICommandOutput {
public:
    void Echo(std::string_view text) override { lines.push_back("> " + std::string(text)); }
    void ShowAnswer(const TAnswerLine& line) override { lines.push_back(line.Text); }
    std::vector<std::string> lines;
};

class MonitorLink : public ::testing::Test {
protected:
    MonitorLink() { link.SetOutput(&output); }
    std::vector<std::uint32_t> Messages() const {
        std::vector<std::uint32_t> m;
        for (const TPost& p : channel.posts)
            m.push_back(p.Msg);
        return m;
    }
    TRecordingChannel channel;
    TCountingWait wait;
    TRecordingOutput output;
    TMonitorLink link{channel, wait};
};

} // namespace

TEST_F(MonitorLink, ACommandGoesOutWithItsTextAndARefreshOneAtATime) {
    ASSERT_TRUE(link.RunCommand({.Code = CMD_CUSTOM, .Text = "Q1", .Echo = true, .Wait = true}));
    ASSERT_TRUE(link.RunCommand({.Code = CMD_TESTMINUTES, .Text = "05"}));
    EXPECT_EQ(Messages(), (std::vector<std::uint32_t>{UM_RUNCOMMAND, UM_REFRESH}));
    EXPECT_EQ(channel.posts[0].WParam, CMD_CUSTOM);
    EXPECT_EQ(channel.posts[0].Text, "Q1");
    EXPECT_EQ(wait.log, "B");
    EXPECT_EQ(link.Pending(), 1u);

    link.OnAnswer("(230.0 195.0\r");
    // The second went out only now, and the first's answer was shown and its wait ended.
    EXPECT_EQ(Messages(),
              (std::vector<std::uint32_t>{UM_RUNCOMMAND, UM_REFRESH, UM_RUNCOMMAND, UM_REFRESH}));
    EXPECT_EQ(channel.posts[2].Text, "05");
    EXPECT_EQ(output.lines, (std::vector<std::string>{"> Q1", "(230.0 195.0"}));
    EXPECT_EQ(wait.log, "BE");
    link.OnAnswer("");
    EXPECT_FALSE(link.CommandInFlight());
    EXPECT_EQ(output.lines.size(), 2u); // an empty answer shows nothing
}

// Every command in flight keeps its text in the buffer until its answer: the battery
// calibration's and the terminal's share the one buffer without overwriting each other.
TEST_F(MonitorLink, TheBufferHoldsEachCommandsTextUntilItsAnswer) {
    link.RunCommand({.Code = CMD_CUSTOM, .Text = "Q1", .Wait = true});
    link.RunCommand({.Code = CMD_TESTMINUTES, .Text = "99", .ShowAnswer = false});
    link.RunCommand({.Code = CMD_CANCELTEST, .WithText = false, .ShowAnswer = false});
    EXPECT_EQ(channel.CommandTextsNow(), (std::vector<std::string>{"Q1"}));
    link.OnAnswer("ACK\r");
    EXPECT_EQ(channel.CommandTextsNow(), (std::vector<std::string>{"99", "99"}));
    link.OnAnswer("");
    // No argument at all: lParam 0, and the buffer is left alone.
    ASSERT_EQ(channel.posts.back().Msg, UM_REFRESH);
    EXPECT_EQ(channel.posts[channel.posts.size() - 2].LParam, 0);
    EXPECT_STREQ(link.CommandText(), "99");
}

TEST_F(MonitorLink, OnlyAWaitThatBeganEndsAndOnlyWithItsLastCommand) {
    // Commands that do not wait (the calibration's) never touch the wait, answered or not.
    link.RunCommand({.Code = CMD_TESTMINUTES, .Text = "99", .ShowAnswer = false});
    link.OnAnswer(std::nullopt);
    EXPECT_EQ(wait.log, "");
    EXPECT_TRUE(output.lines.empty()); // nor is a missing answer to them shown
    // An answer to nobody's command ends nothing either.
    link.OnAnswer(std::nullopt);
    EXPECT_EQ(wait.log, "");
    EXPECT_EQ(output.lines, (std::vector<std::string>{"<нет ответа от UPS>"}));

    // Two waiting commands: one wait, ended by the second answer only.
    link.RunCommand({.Code = CMD_CUSTOM, .Text = "I", .Wait = true});
    link.RunCommand({.Code = CMD_CUSTOM, .Text = "F", .Wait = true});
    link.OnAnswer("#A B C\r");
    EXPECT_EQ(wait.log, "B");
    link.OnAnswer(std::nullopt);
    EXPECT_EQ(wait.log, "BE");
}

TEST_F(MonitorLink, NothingGoesOutToAnUnknownMonitorAndAFullQueueRefuses) {
    channel.known = false;
    EXPECT_FALSE(link.RunCommand({.Code = CMD_CUSTOM, .Text = "Q1", .Wait = true}));
    EXPECT_TRUE(channel.posts.empty());
    EXPECT_EQ(wait.log, "");

    channel.known = true;
    ASSERT_TRUE(link.RunCommand({.Code = CMD_STATUS}));
    for (std::size_t i = 0; i < TMonitorLink::MaxPending; ++i)
        ASSERT_TRUE(link.RunCommand({.Code = CMD_STATUS}));
    EXPECT_FALSE(link.RunCommand({.Code = CMD_STATUS, .Wait = true}));
    EXPECT_EQ(wait.log, ""); // a refused command began no wait
}

TEST_F(MonitorLink, ATextLongerThanTheBufferIsCutToIt) {
    link.RunCommand({.Code = CMD_CUSTOM, .Text = std::string(300, 'x')});
    EXPECT_EQ(std::strlen(link.CommandText()), TMonitorLink::CommandBufferSize - 1);
}
