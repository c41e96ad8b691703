#include <gtest/gtest.h>
#include <sstream>

#include "scenario.hpp"

using namespace upssim;

TEST(Scenario, ParsesAFileInTimeOrder) {
    std::istringstream in(R"(# power cut
2.0   mains off

12.0  mains on      # back
  1.5 input 185
12    shutdown 0.5 restore 10
20    split 3
20    test on
21    test low
30    Garble 5
40    quit
)");
    std::vector<Event> ev = parse_scenario(in);
    ASSERT_EQ(ev.size(), 9u);

    EXPECT_DOUBLE_EQ(ev[0].time, 1.5);
    EXPECT_EQ(ev[0].line, 5);
    EXPECT_EQ(ev[0].action.verb, Verb::Input);
    EXPECT_DOUBLE_EQ(ev[0].action.value, 185);

    EXPECT_EQ(ev[1].action.verb, Verb::Mains);
    EXPECT_FALSE(ev[1].action.on);
    EXPECT_EQ(ev[1].action.text, "mains off");

    // Equal times keep file order.
    EXPECT_EQ(ev[2].action.verb, Verb::Mains);
    EXPECT_TRUE(ev[2].action.on);
    EXPECT_EQ(ev[3].action.verb, Verb::Shutdown);
    EXPECT_DOUBLE_EQ(ev[3].action.value, 0.5);
    EXPECT_DOUBLE_EQ(ev[3].action.value2, 10);

    EXPECT_EQ(ev[4].action.verb, Verb::Split);
    EXPECT_DOUBLE_EQ(ev[4].action.value, 3);
    EXPECT_DOUBLE_EQ(ev[4].action.value2, 0.3); // default gap
    EXPECT_EQ(ev[5].action.verb, Verb::TestStart);
    EXPECT_DOUBLE_EQ(ev[5].action.value, 10);
    EXPECT_EQ(ev[6].action.verb, Verb::TestStart);
    EXPECT_DOUBLE_EQ(ev[6].action.value, 0);    // until battery low
    EXPECT_EQ(ev[7].action.verb, Verb::Garble); // keywords are case-insensitive
    EXPECT_EQ(ev[8].action.verb, Verb::Quit);
    EXPECT_EQ(ev[8].line, 11);
}

TEST(Scenario, ShutdownWithoutRestoreAndUntimedActions) {
    Action a = parse_action("shutdown 2");
    EXPECT_DOUBLE_EQ(a.value, 2);
    EXPECT_DOUBLE_EQ(a.value2, -1);
    EXPECT_EQ(parse_action("  unknown NAK-paren ").word, "nak-paren");
    EXPECT_EQ(parse_action("offcomm silent").word, "silent");
    EXPECT_EQ(parse_action("test on 2.5").value, 2.5);
}

TEST(Scenario, BadLinesNameTheirLine) {
    struct Case {
        const char* line;
        const char* message_part;
    };
    const Case cases[] = {
        {"mains off", "expected a time"},
        {"-1 mains off", "expected a time"},
        {"5", "missing keyword"},
        {"5 mains", "usage: mains on|off"},
        {"5 mains sideways", "expected 'on' or 'off'"},
        {"5 flood 3", "unknown keyword 'flood'"},
        {"5 input volts", "'volts' is not a number"},
        {"5 input 1200", "out of range"},
        {"5 load 12.5", "whole number"},
        {"5 split 0", "out of range"},
        {"5 shutdown 1 later 2", "usage: shutdown"},
        {"5 test maybe", "usage: test"},
        {"5 test low 3", "usage: test"},
        {"5 unknown shout", "expected echo, nak"},
        {"5 quit now", "usage: quit"},
    };
    for (const Case& c : cases) {
        std::istringstream in(std::string("# header\n1 mains off\n") + c.line + "\n9 quit\n");
        try {
            parse_scenario(in);
            ADD_FAILURE() << "accepted: " << c.line;
        } catch (const ScenarioError& e) {
            EXPECT_EQ(e.line(), 3) << c.line;
            EXPECT_NE(std::string(e.what()).find(c.message_part), std::string::npos)
                << c.line << " -> " << e.what();
        }
    }
}
