#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "actions_test_monitor.h"
#include "common/files.h"

namespace {

std::vector<TEventRule> Rules(int count) {
    std::vector<TEventRule> out;
    for (int i = 1; i <= count; ++i)
        out.push_back(MakeRule(static_cast<std::uint16_t>(i), 0, 9));
    return out;
}

std::vector<std::uint16_t> Ids(const RecordList<TEventRule>& list) {
    std::vector<std::uint16_t> ids;
    for (const TEventRule& r : list)
        ids.push_back(r.Id);
    return ids;
}

} // namespace

TEST(RuleFiles, MonitorReadsAtMostFiftyWholeRecordsInFileOrder) {
    FakePlatform fp;
    ActionMonitor mon(fp.platform);
    fp.dir.Write("Events.ups", "");
    mon.LoadEventRules();
    EXPECT_TRUE(mon.Rules().Empty());

    fp.dir.Write("Events.ups", Bytes(Rules(65))); // 33540 bytes
    mon.LoadEventRules();
    ASSERT_EQ(mon.Rules().Size(), 50u);
    EXPECT_EQ(mon.Rules()[49].Id, 50);

    fp.dir.Write("Events.ups", Bytes(Rules(3)) + std::string(515, 'x'));
    mon.FreeEventRules();
    EXPECT_TRUE(mon.Rules().Empty());
    mon.LoadEventRules();
    EXPECT_EQ(Ids(mon.Rules()), (std::vector<std::uint16_t>{1, 2, 3}));

    std::vector<TCustomCommand> commands;
    for (int i = 0; i < 52; ++i)
        commands.push_back(MakeCommand(static_cast<std::uint16_t>(i), 6));
    fp.dir.Write("CustCmds.ups", Bytes(commands) + "tail");
    mon.LoadCustomCommands();
    EXPECT_EQ(mon.Commands().Size(), 50u);
    mon.FreeCustomCommands();
    EXPECT_TRUE(mon.Commands().Empty());

    // Unreadable files give empty lists and leave the monitor running.
    std::filesystem::remove(fp.dir.File("Events.ups"));
    std::filesystem::create_directory(fp.dir.File("Events.ups"));
    mon.LoadEventRules();
    EXPECT_TRUE(mon.Rules().Empty());
}

TEST(RuleFiles, ListChangesKeepOrderIdsAndStaleBytes) {
    FakePlatform fp;
    const std::string path = fp.dir.File("Events.ups");
    RecordList<TEventRule> list;
    for (std::uint16_t id : {3, 7, 5}) {
        list.Add(MakeRule(0, 0, 9));
        list[list.Size() - 1].Id = id;
    }
    EXPECT_EQ(list.Add(MakeRule(0, 0, 9)), 8);
    EXPECT_EQ(Ids(list), (std::vector<std::uint16_t>{3, 7, 5, 8}));
    EXPECT_TRUE(list.DeleteLastById(7));
    EXPECT_FALSE(list.DeleteLastById(7));
    EXPECT_EQ(Ids(list), (std::vector<std::uint16_t>{3, 5, 8}));
    EXPECT_TRUE(list.DeleteLastById(8));
    EXPECT_EQ(list.NewId(), 6);

    // Two records with one id: change overwrites both, delete takes the last.
    list[1].Id = 3;
    list[1].Action = 1;
    EXPECT_EQ(list.FindLastById(3)->Action, 1);
    list.ReplaceById(3, MakeRule(3, 10, 6, "новый"));
    EXPECT_EQ(list[0].Parameter.View(), "новый");
    EXPECT_EQ(list[1].Parameter.View(), "новый");
    list[1].Action = 2;
    list.DeleteLastById(3);
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list[0].Action, 6);

    // A text shortened in place keeps its old tail on disk; readers see only the length.
    list[0].Parameter = "ab";
    ASSERT_TRUE(list.Save(SystemFiles(), path));
    const std::string disk = fp.dir.Read("Events.ups");
    ASSERT_EQ(disk.size(), 516u);
    EXPECT_EQ(disk.substr(4, 6), std::string("\x02"
                                             "abвый",
                                             6));
    ASSERT_TRUE(list.Load(SystemFiles(), path));
    EXPECT_EQ(list[0].Parameter.Str(), "ab");

    list.Clear();
    ASSERT_TRUE(list.Save(SystemFiles(), path));
    EXPECT_TRUE(fp.dir.Read("Events.ups").empty());
    for (int i = 0; i < 50; ++i)
        list.Add(MakeRule(0, 0, 0));
    EXPECT_EQ(list.Add(MakeRule(0, 0, 0)), 0); // full
    EXPECT_EQ(list.Size(), 50u);
}
