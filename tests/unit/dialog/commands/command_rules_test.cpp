#include "dialog/commands/command_rules.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/commands.h"

namespace {

TCustomCommand Record(std::uint8_t code, std::string_view parameter,
                      std::string_view description = "Команда") {
    TCustomCommand r{};
    r.Id = 7;
    r.Code = code;
    r.Description.Assign(description);
    r.Parameter.Assign(parameter);
    return r;
}

TCmdFields Fields(int kind, std::string_view description = "Описание") {
    TCmdFields f;
    f.Description = std::string(description);
    f.Kind = kind;
    return f;
}

} // namespace

TEST(CommandRules, EveryCodeShowsAsItsListEntryAndOthersAsTheUserCommand) {
    const std::pair<std::uint8_t, int> expected[] = {
        {CMD_TEST, 0},
        {CMD_TESTLOW, 1},
        {CMD_TESTMINUTES, 2},
        {CMD_BEEPTOGGLE, 3},
        {CMD_SHUTDOWN, 4},
        {CMD_SHUTDOWNRESTORE, 5},
        {CMD_CANCELSHUTDOWN, 6},
        {CMD_CANCELTEST, 7},
        {CMD_CUSTOM, 8},
        {CMD_BEEPOFF, 9},
        {CMD_BEEPON, 10},
        {CMD_STATUS, 8},
        {CMD_INFO, 8},
        {CMD_RATING, 8},
        {14, 8},
        {255, 8},
    };
    for (const auto& [code, kind] : expected) {
        EXPECT_EQ(KindOfCode(code), kind) << int(code);
        if (kind != 8 || code == CMD_CUSTOM) {
            EXPECT_EQ(CmdKinds[kind].Code, code);
        }
    }
    EXPECT_EQ(CmdKinds[9].Caption, "Выключить пищалку");
    EXPECT_EQ(CmdKinds[10].Caption, "Включить пищалку");
}

TEST(CommandRules, LoadingFillsThePageOfTheKind) {
    TCmdFields f = FieldsFromRecord(Record(CMD_TESTMINUTES, "07", "Тест 7 минут"));
    EXPECT_EQ(f.Description, "Тест 7 минут");
    EXPECT_EQ(f.Kind, 2);
    EXPECT_EQ(f.Minutes, "07");

    f = FieldsFromRecord(Record(CMD_SHUTDOWN, "03"));
    EXPECT_EQ(f.Kind, 4);
    EXPECT_EQ(f.Delay, DelayIndex("03"));
    EXPECT_EQ(FieldsFromRecord(Record(CMD_SHUTDOWN, "11")).Delay, -1);
    EXPECT_EQ(FieldsFromRecord(Record(CMD_SHUTDOWN, "")).Delay, -1);

    f = FieldsFromRecord(Record(CMD_SHUTDOWNRESTORE, ".5 0010"));
    EXPECT_EQ(f.Kind, 5);
    EXPECT_EQ(f.RestoreDelay, 3);
    EXPECT_EQ(f.SwitchOn, "0010");
    // A short or foreign parameter fills what it has.
    f = FieldsFromRecord(Record(CMD_SHUTDOWNRESTORE, ".5"));
    EXPECT_EQ(f.RestoreDelay, 3);
    EXPECT_EQ(f.SwitchOn, "");
    EXPECT_EQ(FieldsFromRecord(Record(CMD_SHUTDOWNRESTORE, "x")).RestoreDelay, -1);

    EXPECT_EQ(FieldsFromRecord(Record(CMD_CUSTOM, "Q1")).CommandText, "Q1");
    // A code outside the table: a user command with an empty text.
    f = FieldsFromRecord(Record(99, "Q1"));
    EXPECT_EQ(f.Kind, 8);
    EXPECT_EQ(f.CommandText, "");
    // Parameters of kinds that take none go nowhere.
    f = FieldsFromRecord(Record(CMD_CANCELTEST, "Q1"));
    EXPECT_EQ(f.Kind, 7);
    EXPECT_EQ(f.CommandText, "");
}

TEST(CommandRules, DurationIsStampedIntoTwoDigitsAndMustBeOneToNinetyNine) {
    TCmdFields f = Fields(2);
    f.Minutes = "7";
    const auto r = RecordFromFields(TCustomCommand{}, f);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Code, CMD_TESTMINUTES);
    EXPECT_EQ(r->Parameter.View(), "07");
    f.Minutes = "99";
    EXPECT_EQ(RecordFromFields(TCustomCommand{}, f)->Parameter.View(), "99");
    for (const char* bad : {"0", "", "ab", "7x", "-5", "100", "00"}) {
        f.Minutes = bad;
        EXPECT_FALSE(RecordFromFields(TCustomCommand{}, f)) << bad;
    }
}

TEST(CommandRules, SwitchOffWithRestoreBuildsSevenCharactersAndLoadsBack) {
    TCmdFields f = Fields(5);
    f.RestoreDelay = DelayIndex(".5");
    f.SwitchOn = "10";
    const auto r = RecordFromFields(TCustomCommand{}, f);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Code, CMD_SHUTDOWNRESTORE);
    EXPECT_EQ(r->Parameter.View(), ".5 0010");
    const TCmdFields back = FieldsFromRecord(*r);
    EXPECT_EQ(back.Kind, 5);
    EXPECT_EQ(back.RestoreDelay, f.RestoreDelay);
    EXPECT_EQ(back.SwitchOn, "0010");

    f.SwitchOn = "7";
    EXPECT_EQ(RecordFromFields(TCustomCommand{}, f)->Parameter.View(), ".5 0007");
    f.SwitchOn = "9999";
    EXPECT_EQ(RecordFromFields(TCustomCommand{}, f)->Parameter.View(), ".5 9999");
    for (const char* bad : {"0", "", "x", "-1", "10000"}) {
        f.SwitchOn = bad;
        EXPECT_FALSE(RecordFromFields(TCustomCommand{}, f)) << bad;
    }
    f.SwitchOn = "10";
    f.RestoreDelay = -1;
    EXPECT_FALSE(RecordFromFields(TCustomCommand{}, f));
}

TEST(CommandRules, SwitchOffNeedsADelayCode) {
    TCmdFields f = Fields(4);
    EXPECT_FALSE(RecordFromFields(TCustomCommand{}, f));
    f.Delay = DelayIndex("10");
    const auto r = RecordFromFields(TCustomCommand{}, f);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Code, CMD_SHUTDOWN);
    EXPECT_EQ(r->Parameter.View(), "10");
}

TEST(CommandRules, DescriptionAndKindAreRequiredAndTextsAreCutToFifty) {
    EXPECT_FALSE(RecordFromFields(TCustomCommand{}, Fields(0, "")));
    EXPECT_FALSE(RecordFromFields(TCustomCommand{}, Fields(-1)));
    EXPECT_FALSE(RecordFromFields(TCustomCommand{}, Fields(11)));

    const std::string sixty(60, 'x');
    auto r = RecordFromFields(TCustomCommand{}, Fields(0, sixty));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Description.View(), sixty.substr(0, 50));

    TCmdFields f = Fields(8);
    EXPECT_FALSE(RecordFromFields(TCustomCommand{}, f)); // an empty command text
    f.CommandText = std::string(55, 'Q');
    r = RecordFromFields(TCustomCommand{}, f);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Code, CMD_CUSTOM);
    EXPECT_EQ(r->Parameter.View(), std::string(50, 'Q'));
}

TEST(CommandRules, KindsWithoutParameterStoreTheirCodeAndKeepTheOldParameter) {
    const std::uint8_t expected[] = {CMD_TEST,           CMD_TESTLOW,    CMD_TESTMINUTES,
                                     CMD_BEEPTOGGLE,     CMD_SHUTDOWN,   CMD_SHUTDOWNRESTORE,
                                     CMD_CANCELSHUTDOWN, CMD_CANCELTEST, CMD_CUSTOM,
                                     CMD_BEEPOFF,        CMD_BEEPON};
    const TCustomCommand old = Record(CMD_CUSTOM, "QS");
    for (int kind : {0, 1, 3, 6, 7, 9, 10}) {
        const auto r = RecordFromFields(old, Fields(kind));
        ASSERT_TRUE(r) << kind;
        EXPECT_EQ(r->Code, expected[kind]);
        EXPECT_EQ(r->Parameter.View(), "QS") << kind;
        EXPECT_EQ(r->Id, old.Id);
    }
}

TEST(CommandRules, BytesBehindTheTextsAreZeroInANewCommandAndKeptInAnEditedOne) {
    TCmdFields f = Fields(8, "Тест");
    f.CommandText = "Q1";
    const auto fresh = RecordFromFields(TCustomCommand{}, f);
    ASSERT_TRUE(fresh);
    TCustomCommand zero{};
    EXPECT_EQ(std::memcmp(fresh->Parameter.Chars + 2, zero.Parameter.Chars + 2, 48), 0);
    EXPECT_EQ(std::memcmp(fresh->Description.Chars + 8, zero.Description.Chars + 8, 42), 0);

    const TCustomCommand old = Record(CMD_CUSTOM, "ABCDEFGH", "Длинное описание");
    const auto edited = RecordFromFields(old, f);
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->Parameter.View(), "Q1");
    EXPECT_EQ(std::string(edited->Parameter.Chars + 2, 6), "CDEFGH");
}
