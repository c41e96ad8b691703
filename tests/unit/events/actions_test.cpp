#include <gtest/gtest.h>

#include "actions_test_monitor.h"
#include "common/commands.h"
#include "common/events.h"
#include "common/records.h"
#include "monitor/events/actions.h"

TEST(SplitCommandLine, QuotedPathsWordsAndBlanks) {
    auto check = [](std::string_view text, std::string_view program, std::string_view args) {
        const CommandLine line = SplitCommandLine(text);
        EXPECT_EQ(line.Program, program) << text;
        EXPECT_EQ(line.Arguments, args) << text;
    };
    check("\"C:\\Program Files\\Мой\\x.exe\"  -a  b ", "C:\\Program Files\\Мой\\x.exe", "-a  b");
    check(" \t\r\n notepad.exe\tc:\\log.txt \x01", "notepad.exe\tc:\\log.txt", "");
    check("notepad.exe  c:\\a b.txt\n", "notepad.exe", "c:\\a b.txt");
    check("\"C:\\unclosed path\\x.exe -q", "C:\\unclosed path\\x.exe -q", "");
    check("\" spaced \"arg", "spaced", "arg");
    check("\"\"", "", "");
    check("", "", "");
    check(" \t ", "", "");
    check("ярлык.lnk яблоко", "ярлык.lnk", "яблоко"); // letters above 0x7F are not blanks
}

TEST(Actions, PowerActionsMapToExitFlagsAndHibernation) {
    FakePlatform fp;
    ActionMonitor mon(fp.platform);
    for (std::uint8_t code = 0; code <= 4; ++code)
        mon.RunAction(MakeRule(1, 0, code));
    EXPECT_EQ(fp.power.exits, (std::vector<std::uint32_t>{8, 12, 1, 5}));
    EXPECT_EQ(fp.power.hibernations, 1);

    mon.RunAction(MakeRule(1, 0, ACT_HIBERNATEORPOWEROFF));
    EXPECT_EQ(fp.power.exits.size(), 4u); // hibernation worked: no power-off
    fp.power.hibernateOk = false;
    mon.RunAction(MakeRule(1, 0, ACT_HIBERNATE));
    EXPECT_EQ(fp.power.exits.size(), 4u); // plain hibernation has no fallback
    mon.RunAction(MakeRule(1, 0, ACT_HIBERNATEORPOWEROFF));
    EXPECT_EQ(fp.power.exits.back(), 12u);
    EXPECT_EQ(fp.power.hibernations, 4);

    for (std::uint8_t code : {10, 14, 255})
        mon.RunAction(MakeRule(1, 0, code, "x"));
    EXPECT_EQ(fp.power.exits.size(), 5u);
    EXPECT_TRUE(fp.power.programs.empty());
    EXPECT_TRUE(fp.desktop.boxes.empty());
}

TEST(Actions, MessageAndProgramGetTheirMacrosReplaced) {
    FakePlatform fp;
    ActionMonitor mon(fp.platform);
    mon.status_.Load = 42;
    mon.RunAction(MakeRule(1, 0, ACT_SCREENMESSAGE, "Нагрузка $LOAD%"));
    mon.RunAction(MakeRule(1, 0, ACT_SCREENMESSAGE, "Второе"));
    ASSERT_EQ(fp.desktop.boxes.size(), 2u);
    EXPECT_TRUE(fp.desktop.boxes[0].async);
    EXPECT_EQ(fp.desktop.boxes[0].owner, fp.queue.window);
    EXPECT_EQ(fp.desktop.boxes[0].text, "Нагрузка 42%");
    EXPECT_EQ(fp.desktop.boxes[0].caption, "Внимание!");
    EXPECT_EQ(fp.desktop.boxes[0].type, 0x1030u);

    mon.RunAction(MakeRule(1, 0, ACT_RUNPROGRAM, "\"C:\\My Tools\\log.exe\" $LOAD"));
    mon.RunAction(MakeRule(1, 0, ACT_RUNPROGRAM, ""));
    using Call = std::pair<std::string, std::string>;
    EXPECT_EQ(fp.power.programs, (std::vector<Call>{{"C:\\My Tools\\log.exe", "42"}, {"", ""}}));
}

TEST(Actions, UpsCommandSendsEveryCommandWithTheStoredIdWhileOpen) {
    FakePlatform fp;
    ActionMonitor mon(fp.platform);
    mon.commands_.Add(MakeCommand(0, CMD_SHUTDOWNRESTORE, ".5 0010"));
    mon.commands_.Add(MakeCommand(0, CMD_CANCELSHUTDOWN, "stale"));
    mon.commands_[1].Id = 1; // a second record with the same id, as a foreign file may hold
    mon.commands_.Add(MakeCommand(0, CMD_CANCELTEST));
    mon.status_.Load = 1;

    mon.RunAction(MakeRule(1, 0, ACT_UPSCOMMAND, "1"));
    EXPECT_EQ(fp.port.written, ""); // port closed
    ASSERT_TRUE(mon.Open());
    fp.port.written.clear();
    // Not a number, no such id, beyond 16 bits, or a macro (the stored text counts).
    for (const char* p : {"", "abc", "-1", "99999", "65537", "$LOAD"})
        mon.RunAction(MakeRule(1, 0, ACT_UPSCOMMAND, p));
    EXPECT_EQ(fp.port.written, "");

    mon.RunAction(MakeRule(1, 0, ACT_UPSCOMMAND, "1"));
    EXPECT_EQ(fp.port.written, "S.5R0010\rC\r");
    mon.RunAction(MakeRule(1, 0, ACT_UPSCOMMAND, " 2 "));
    EXPECT_EQ(fp.port.written, "S.5R0010\rC\rCT\r");
}

TEST(Actions, TestRequestRunsEveryRuleWithTheIdEvenWhenSuspended) {
    FakePlatform fp;
    ActionMonitor mon(fp.platform);
    mon.rules_.Add(MakeRule(0, EV_POWERFAIL, ACT_POWEROFF));
    mon.rules_.Add(MakeRule(0, EV_LINKLOST, ACT_SHUTDOWN));
    mon.rules_.Add(MakeRule(0, EV_PROGRAMSTART, ACT_FORCESHUTDOWN));
    mon.rules_[2].Id = 1;
    mon.suspended_ = true;
    mon.RunRulesById(7);
    EXPECT_TRUE(fp.power.exits.empty());
    mon.RunRulesById(1);
    EXPECT_EQ(fp.power.exits,
              (std::vector<std::uint32_t>{EXIT_POWEROFF, EXIT_SHUTDOWN | EXIT_FORCE}));
}

TEST(Actions, JournalMessageIsAUserEntryWithValuesInPlace) {
    FakePlatform fp;
    ActionMonitor mon(fp.platform);
    mon.status_.BatteryVoltage = 13.5f;
    mon.RunAction(MakeRule(1, 0, ACT_JOURNALMESSAGE, "Батарея $BATT В"));
    const std::string journal = fp.dir.Read("Kovrin.lgb");
    ASSERT_EQ(journal.size(), sizeof(TJournalRecord));
    EXPECT_EQ(journal[0], JK_USER);
    const std::string text = "Батарея 13.50 В";
    EXPECT_EQ(journal.substr(15, 1 + text.size()), static_cast<char>(text.size()) + text);
}
