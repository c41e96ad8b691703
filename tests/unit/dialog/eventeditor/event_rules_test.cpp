#include "dialog/eventeditor/event_rules.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/events.h"
#include "common/numbers.h"

namespace {

const TLocaleFormats Russian; // dd.MM.yyyy, H:mm:ss
const std::vector<std::string> NoCommands;

TEventFields Expression(int variable, int op, const std::string& number) {
    TEventFields f;
    f.Source = EV_EXPRESSION;
    f.Action = ACT_POWEROFF;
    f.Variable = variable;
    f.Operator = op;
    f.Number = number;
    return f;
}

// The expression built, or "refused".
std::string Built(const TEventFields& f, const std::vector<std::string>& commands = NoCommands) {
    TEventRule rule{};
    if (!BuildRule(f, commands, rule, Russian)) return "refused";
    return rule.Expression.Str();
}

TEventRule Rule(std::uint8_t source, std::uint8_t action, const std::string& parameter,
                const std::string& expression = "") {
    TEventRule r{};
    r.Id = 4;
    r.Source = source;
    r.Action = action;
    r.Parameter.Assign(parameter);
    r.Expression.Assign(expression);
    return r;
}

} // namespace

TEST(EventRules, ExpressionIsVariableOperatorAndNumberWithSingleSpaces) {
    EXPECT_EQ(Built(Expression(5, 1, "85")), "%LOAD > 85");
    EXPECT_EQ(Built(Expression(2, 3, "12.5")), "%BATT < 12.5");
    EXPECT_EQ(Built(Expression(2, 5, " 11.50 ")), "%BATT <> 11.50"); // as typed, blanks off
    EXPECT_EQ(Built(Expression(7, 0, "050")), "%CHARGE = 50");
    EXPECT_EQ(Built(Expression(6, 4, "-5")), "%TERM <= -5");
    // Five minutes on battery as the fraction of a day the monitor compares with.
    EXPECT_EQ(Built(Expression(8, 2, "0:05:00")), "%ACFTIME >= 0.00347222222222222");
    EXPECT_EQ(Built(Expression(8, 1, "1:00:00")), "%ACFTIME > 0.0416666666666667");
}

TEST(EventRules, WrongNumbersAreRefusedByTheVariablesKind) {
    EXPECT_EQ(Built(Expression(2, 3, "-1")), "refused"); // the mark of a failed conversion
    EXPECT_EQ(Built(Expression(2, 3, "12,5")), "refused");
    EXPECT_EQ(Built(Expression(2, 3, "")), "refused");
    EXPECT_EQ(Built(Expression(5, 1, "-1")), "refused");
    EXPECT_EQ(Built(Expression(5, 1, "8.5")), "refused"); // load and charge are integers
    EXPECT_EQ(Built(Expression(8, 1, "0:00:00")), "refused");
    EXPECT_EQ(Built(Expression(8, 1, "0.0035")), "refused"); // a time of day, not a number
    EXPECT_EQ(Built(Expression(8, 1, "25:00:00")), "refused");
    EXPECT_EQ(Built(Expression(-1, 1, "5")), "refused");
    EXPECT_EQ(Built(Expression(5, -1, "5")), "refused");
    EXPECT_EQ(Built(Expression(9, 1, "5")), "refused");
}

TEST(EventRules, SourceAndActionMustBeChosenAndTheirFieldsFilled) {
    TEventFields f;
    EXPECT_EQ(Built(f), "refused");
    f.Source = EV_POWERFAIL;
    EXPECT_EQ(Built(f), "refused");
    f.Action = 10;
    EXPECT_EQ(Built(f), "refused");
    for (int action : {ACT_SCREENMESSAGE, ACT_RUNPROGRAM, ACT_JOURNALMESSAGE}) {
        f.Action = action;
        EXPECT_EQ(Built(f), "refused") << action;
    }
    f.Action = ACT_JOURNALMESSAGE;
    f.MessageText = "not this one";
    EXPECT_EQ(Built(f), "refused");
    f.JournalText = "Батарея: $BATT";
    TEventRule rule{};
    ASSERT_TRUE(BuildRule(f, NoCommands, rule, Russian));
    EXPECT_EQ(rule.Parameter.Str(), "Батарея: $BATT");
    EXPECT_EQ(rule.Expression.Length, 0); // only the expression source has one

    // Action 8 needs a chosen command; with none defined it can never be chosen.
    f.Action = ACT_UPSCOMMAND;
    EXPECT_EQ(Built(f), "refused");
    f.Command = 0;
    EXPECT_EQ(Built(f), "refused");
    const std::vector<std::string> commands = {"3: Тест батареи", "12: Выключить"};
    f.Command = 1;
    ASSERT_TRUE(BuildRule(f, commands, rule, Russian));
    EXPECT_EQ(rule.Parameter.Str(), "12");
}

TEST(EventRules, OkRewritesCodesParameterAndExpressionButNotTheIdentifier) {
    TEventRule rule = Rule(EV_EXPRESSION, ACT_RUNPROGRAM, "old program", "%LOAD > 1");
    TEventFields f;
    f.Source = EV_LINKLOST;
    f.Action = ACT_HIBERNATE;
    f.Variable = 2; // left from an earlier choice: not used for this source
    f.Operator = 1;
    f.CommandLine = "still typed";
    ASSERT_TRUE(BuildRule(f, NoCommands, rule, Russian));
    EXPECT_EQ(rule.Id, 4);
    EXPECT_EQ(rule.Source, EV_LINKLOST);
    EXPECT_EQ(rule.Action, ACT_HIBERNATE);
    EXPECT_EQ(rule.Parameter.Length, 0);
    EXPECT_EQ(rule.Expression.Length, 0);

    // A refusal may leave the new codes in the record; the page then does not use it.
    f.Action = ACT_SCREENMESSAGE;
    EXPECT_FALSE(BuildRule(f, NoCommands, rule, Russian));
    EXPECT_EQ(rule.Action, ACT_SCREENMESSAGE);

    f.MessageText = std::string(300, 'x');
    ASSERT_TRUE(BuildRule(f, NoCommands, rule, Russian));
    EXPECT_EQ(rule.Parameter.Length, 255);
}

TEST(EventRules, LoadingReadsTheExpressionWordByWord) {
    const std::vector<std::string> commands;
    TEventFields f;
    LoadRuleFields(Rule(EV_EXPRESSION, ACT_JOURNALMESSAGE, "LOW $BATT", "%LOAD > 85"), commands, f,
                   Russian);
    EXPECT_EQ(f.Source, EV_EXPRESSION);
    EXPECT_EQ(f.Action, ACT_JOURNALMESSAGE);
    EXPECT_EQ(f.JournalText, "LOW $BATT");
    EXPECT_EQ(f.Variable, 5);
    EXPECT_EQ(f.Operator, 1);
    EXPECT_EQ(f.Number, "85");

    f = {};
    LoadRuleFields(Rule(EV_EXPRESSION, ACT_POWEROFF, "", "  %ACFTIME   >=  0.00347222222222222"),
                   commands, f, Russian);
    EXPECT_EQ(f.Variable, 8);
    EXPECT_EQ(f.Operator, 2);
    EXPECT_EQ(f.Number, "0:05:00");
    f = {};
    LoadRuleFields(Rule(EV_EXPRESSION, ACT_POWEROFF, "", "%ACFTIME > nonsense"), commands, f,
                   Russian);
    EXPECT_EQ(f.Number, "0:00:00");

    // An unknown variable leaves the list as it was, an unknown operator unselected.
    f = {};
    f.Variable = 3;
    f.Operator = 4;
    LoadRuleFields(Rule(EV_EXPRESSION, ACT_POWEROFF, "", "%VOLTAGE => 7"), commands, f, Russian);
    EXPECT_EQ(f.Variable, 3);
    EXPECT_EQ(f.Operator, -1);
    EXPECT_EQ(f.Number, "7");
    f = {};
    LoadRuleFields(Rule(EV_EXPRESSION, ACT_POWEROFF, "", "%VOLTAGE > 7"), commands, f, Russian);
    EXPECT_EQ(f.Variable, -1);
    EXPECT_EQ(Built(f), "refused");

    // Another source's expression is not read.
    f = {};
    LoadRuleFields(Rule(EV_POWERFAIL, ACT_POWEROFF, "", "%LOAD > 85"), commands, f, Russian);
    EXPECT_EQ(f.Variable, -1);
    EXPECT_EQ(f.Number, "0");
}

TEST(EventRules, LoadingFindsTheCustomCommandByItsIdentifier) {
    const std::vector<std::string> commands = {"3: A", "7: B", "7: C", "9: D"};
    TEventFields f;
    LoadRuleFields(Rule(EV_POWERFAIL, ACT_UPSCOMMAND, "7"), commands, f, Russian);
    EXPECT_EQ(f.Command, 2); // the last of the equal ones
    LoadRuleFields(Rule(EV_POWERFAIL, ACT_UPSCOMMAND, "5"), commands, f, Russian);
    EXPECT_EQ(f.Command, -1); // a command that no longer exists
    EXPECT_EQ(Built(f, commands), "refused");
    LoadRuleFields(Rule(EV_POWERFAIL, ACT_UPSCOMMAND, "x"), commands, f, Russian);
    EXPECT_EQ(f.Command, -1);
}

TEST(EventRules, CodesOfNoMeaningLoadAsNoChoice) {
    TEventFields f;
    LoadRuleFields(Rule(15, 200, "text"), NoCommands, f, Russian);
    EXPECT_EQ(f.Source, -1);
    EXPECT_EQ(f.Action, -1);
    EXPECT_EQ(Built(f), "refused");
}

TEST(EventRules, WhatIsBuiltLoadsBackToTheSameFields) {
    const std::vector<std::string> commands = {"1: Тест", "2: Сигнал"};
    TEventFields f = Expression(8, 3, "1:30:15");
    f.Action = ACT_UPSCOMMAND;
    f.Command = 1;
    TEventRule rule{};
    ASSERT_TRUE(BuildRule(f, commands, rule, Russian));
    TEventFields back;
    LoadRuleFields(rule, commands, back, Russian);
    EXPECT_EQ(back.Source, f.Source);
    EXPECT_EQ(back.Action, f.Action);
    EXPECT_EQ(back.Variable, f.Variable);
    EXPECT_EQ(back.Operator, f.Operator);
    EXPECT_EQ(back.Number, "1:30:15");
    EXPECT_EQ(back.Command, 1);
}

TEST(EventRules, DayFractionsInTheirShortestForm) {
    EXPECT_EQ(DayFractionText(300.0 / 86400), "0.00347222222222222");
    EXPECT_EQ(DayFractionText(0.5), "0.5");
    EXPECT_EQ(DayFractionText(1), "1");
    // One second needs an exponent; the monitor reads that form too.
    const std::string second = DayFractionText(1.0 / 86400);
    ASSERT_TRUE(ParseDecimal(second).has_value()) << second;
    EXPECT_NEAR(*ParseDecimal(second), 1.0 / 86400, 1e-18);
}

TEST(EventRules, ChosenProgramIsAppendedInQuotes) {
    EXPECT_EQ(AppendQuotedPath("", "C:\\Program Files\\x.exe"), "\"C:\\Program Files\\x.exe\"");
    EXPECT_EQ(AppendQuotedPath("start ", "C:\\a.bat"), "start \"C:\\a.bat\"");
}

TEST(EventRules, CommandItemsReadBackTheirIdentifier) {
    TCustomCommand c{};
    c.Id = 12;
    c.Description.Assign("Тест: 10 с");
    EXPECT_EQ(CommandItem(c), "12: Тест: 10 с");
    EXPECT_EQ(IdFromEntry(CommandItem(c)), 12);
}
