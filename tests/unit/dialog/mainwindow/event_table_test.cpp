#include "dialog/mainwindow/event_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/files.h"

namespace {

TEventRule MakeRule(std::uint16_t id, std::uint8_t source = 0, std::uint8_t action = 9) {
    TEventRule r{};
    r.Id = id;
    r.Source = source;
    r.Action = action;
    return r;
}

TEventTable Table(std::initializer_list<std::uint16_t> ids) {
    TEventTable t;
    for (std::uint16_t id : ids) {
        t.Add(MakeRule(0));
        t[t.Size() - 1].Id = id;
    }
    return t;
}

std::vector<int> Ids(const TEventTable& t) {
    std::vector<int> ids;
    for (const TEventRule& r : t)
        ids.push_back(r.Id);
    return ids;
}

class RulesFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kovrin_rules_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "Events.ups").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Read() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::path dir_;
    std::string path_;
};

} // namespace

TEST(EventTable, ListNamesOfTheCodes) {
    EXPECT_EQ(EventKindName(0), "Сбой питающей сети");
    EXPECT_EQ(EventKindName(14), "Связь с UPS установлена");
    EXPECT_EQ(EventKindName(15), "Ошибка!");
    EXPECT_EQ(EventKindName(255), "Ошибка!");
    // The list names the journal action differently from the editor.
    EXPECT_EQ(ActionKindName(9), "Запись в протокол");
    EXPECT_EQ(ActionKindName(10), "Ошибка!");
}

TEST(EventTable, NewRuleTakesOneAboveTheLargestIdentifier) {
    TEventTable t = Table({1, 2, 7});
    ASSERT_TRUE(AppendRule(t, MakeRule(99)));
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 2, 7, 8}));
    t = Table({3, 7, 5});
    ASSERT_TRUE(AppendRule(t, MakeRule(0)));
    EXPECT_EQ(Ids(t), (std::vector<int>{3, 7, 5, 8}));
    t = Table({});
    ASSERT_TRUE(AppendRule(t, MakeRule(0)));
    EXPECT_EQ(Ids(t), (std::vector<int>{1}));
    // Past the largest identifier a record can hold, a free one instead of 0.
    t = Table({1, 65535, 2});
    ASSERT_TRUE(AppendRule(t, MakeRule(0)));
    EXPECT_EQ(Ids(t).back(), 3);
}

TEST(EventTable, NoNewRuleInAFullTable) {
    TEventTable t;
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(AppendRule(t, MakeRule(0)));
    EXPECT_FALSE(AppendRule(t, MakeRule(0)));
    EXPECT_EQ(t.Size(), 50u);
    EXPECT_EQ(t[49].Id, 50);
}

TEST(EventTable, MovesSwapWithTheNeighbourAndTellTheNewPlace) {
    TEventTable t = Table({1, 2, 3});
    EXPECT_EQ(MoveRuleUp(t, 2), std::optional<std::size_t>(0));
    EXPECT_EQ(Ids(t), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(MoveRuleDown(t, 1), std::optional<std::size_t>(2));
    EXPECT_EQ(Ids(t), (std::vector<int>{2, 3, 1}));
    // The ends do not move, nor does an identifier of no row.
    EXPECT_FALSE(MoveRuleUp(t, 2));
    EXPECT_FALSE(MoveRuleDown(t, 1));
    EXPECT_FALSE(MoveRuleUp(t, -1));
    EXPECT_EQ(Ids(t), (std::vector<int>{2, 3, 1}));
}

TEST(EventTable, MovesTakeTheFirstRecordWithTheIdentifierWhereItCanMove) {
    // Up looks from the second position on, down up to the next-to-last.
    TEventTable t = Table({5, 1, 5});
    EXPECT_EQ(MoveRuleUp(t, 5), std::optional<std::size_t>(1));
    EXPECT_EQ(Ids(t), (std::vector<int>{5, 5, 1}));
    t = Table({1, 5, 5});
    EXPECT_EQ(MoveRuleDown(t, 5), std::optional<std::size_t>(2));
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 5, 5}));
}

TEST(EventTable, DeleteRemovesTheLastWithTheIdentifierAndKeepsTheOrder) {
    TEventTable t = Table({1, 2, 3});
    ASSERT_TRUE(DeleteRule(t, 2));
    EXPECT_EQ(Ids(t), (std::vector<int>{1, 3}));
    t = Table({4, 9, 4, 6});
    t[2].Source = 7; // the last 4
    ASSERT_TRUE(DeleteRule(t, 4));
    EXPECT_EQ(Ids(t), (std::vector<int>{4, 9, 6}));
    EXPECT_EQ(t[0].Source, 0);
    EXPECT_FALSE(DeleteRule(t, 0));
    EXPECT_FALSE(DeleteRule(t, 70000));
    EXPECT_EQ(t.Size(), 3u);
}

TEST(EventTable, ChangeReplacesEveryRecordWithTheIdentifierWhole) {
    TEventTable t = Table({1, 2, 1});
    TEventRule edited = MakeRule(1, 10, 6);
    edited.Parameter.Assign("new");
    std::memset(edited.Parameter.Chars + 3, 'z', 10); // left-overs travel with the record
    ReplaceRule(t, edited);
    EXPECT_EQ(std::memcmp(&t[0], &edited, sizeof edited), 0);
    EXPECT_EQ(std::memcmp(&t[2], &edited, sizeof edited), 0);
    EXPECT_EQ(t[1].Source, 0);
}

TEST(EventTable, RowIdentifierFromItsText) {
    EXPECT_EQ(RowIdentifier("12", -1), 12);
    EXPECT_EQ(RowIdentifier("", -1), -1);
    EXPECT_EQ(RowIdentifier("x7", 0), 0);
}

TEST_F(RulesFile, StoredRulesReadBackInOrder) {
    TEventTable t = Table({3, 1, 2});
    t[1].Parameter.Assign("Запуск");
    ASSERT_TRUE(StoreRules(SystemFiles(), path_, t));
    EXPECT_EQ(Read().size(), 3 * sizeof(TEventRule));
    EXPECT_FALSE(std::filesystem::exists(path_ + ".tmp"));
    TEventTable back;
    ASSERT_TRUE(back.Load(SystemFiles(), path_));
    EXPECT_EQ(Ids(back), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(back[1].Parameter.Str(), "Запуск");
    // An empty table leaves an empty file, which reads as no rules.
    ASSERT_TRUE(StoreRules(SystemFiles(), path_, TEventTable()));
    EXPECT_EQ(Read().size(), 0u);
}

TEST_F(RulesFile, MoreThanFiftyAreCutAtTheNextStore) {
    std::string bytes;
    for (int i = 1; i <= 65; ++i) {
        TEventRule r = MakeRule(static_cast<std::uint16_t>(i));
        bytes.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    bytes += "tail"; // a fragment is no record
    std::ofstream(path_, std::ios::binary) << bytes;
    TEventTable t;
    ASSERT_TRUE(t.Load(SystemFiles(), path_));
    EXPECT_EQ(t.Size(), 50u);
    ASSERT_TRUE(StoreRules(SystemFiles(), path_, t));
    EXPECT_EQ(Read().size(), 50 * sizeof(TEventRule));
}

TEST_F(RulesFile, AFailedStoreLeavesTheOldRulesWhole) {
    ASSERT_TRUE(StoreRules(SystemFiles(), path_, Table({1, 2})));
    const std::string before = Read();
    // The temporary file cannot be made where a directory of its name stands.
    std::filesystem::create_directory(path_ + ".tmp");
    EXPECT_FALSE(StoreRules(SystemFiles(), path_, Table({1, 2, 3})));
    EXPECT_EQ(Read(), before);
}
