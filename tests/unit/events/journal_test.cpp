#include <gtest/gtest.h>

#include <filesystem>

#include "evaluation_monitor.h"
#include "monitor/events/journal.h"

namespace {

struct Journal : ::testing::Test {
    FakePlatform fp;
    EvalMonitor mon{fp.platform};
    Journal() {
        mon.dialogWindow_ = EvalMonitor::DialogWindow;
        Remove();
    }
    std::string File() const { return fp.dir.Read("Kovrin.lgb"); }
    void Remove() { std::filesystem::remove_all(fp.dir.File("Kovrin.lgb")); }
};

} // namespace

TEST_F(Journal, RecordIsCutZeroFilledAndTheDialogGetsTheSameBytes) {
    mon.portName_ = "COM10";
    fp.clock.now = 46364.25;
    mon.WriteJournal(std::string(150, 'a'), JK_ERROR);
    mon.portName_ = "COM1234";
    mon.WriteJournal("Выход.", JK_INFO); // a Cyrillic letter is one byte

    const std::string file = File();
    ASSERT_EQ(file.size(), 232u);
    const auto sent = SentToDialog(fp.queue, TD_JOURNAL);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0] + sent[1], file);
    EXPECT_EQ(file.substr(0, 16), std::string("\x03\0\0\0\0\x88\xa3\xe6\x40\x05"
                                              "COM10\x64",
                                              16));
    EXPECT_EQ(file.substr(16, 100), std::string(100, 'a'));
    EXPECT_EQ(file.substr(125, 7), "\x05"
                                   "COM12\x06");
    EXPECT_EQ(file.substr(132), "Выход." + std::string(94, '\0'));
}

TEST_F(Journal, DeletedFileIsCreatedAgainAndATornOneIsAppendedAtTheRecordBoundary) {
    mon.WriteJournal("one", JK_INFO);
    Remove(); // as the dialog does to clear the journal
    mon.WriteJournal("two", JK_INFO);
    EXPECT_EQ(JournalEntries(File()), (std::vector<std::string>{"1:two"}));

    const std::string whole = File();
    fp.dir.Write("Kovrin.lgb", whole + std::string(50, '\x7f'));
    mon.WriteJournal("three", JK_WARNING);
    EXPECT_EQ(File().size(), 232u);
    EXPECT_EQ(File().substr(0, 116), whole);
    EXPECT_EQ(JournalEntries(File()), (std::vector<std::string>{"1:two", "2:three"}));
}

TEST_F(Journal, FailedAppendLosesOnlyThatEntryAndSaysSoInTheDeviceLog) {
    mon.SetDevLog("dev.log");
    mon.BeginDeviceLog();
    std::filesystem::create_directory(fp.dir.File("Kovrin.lgb")); // cannot be opened as a file
    mon.WriteJournal("lost", JK_INFO);
    EXPECT_EQ(SentToDialog(fp.queue, TD_JOURNAL).size(), 1u); // the dialog still saw it
    Remove();
    mon.WriteJournal("kept", JK_INFO);
    EXPECT_EQ(JournalEntries(File()), (std::vector<std::string>{"1:kept"}));
    mon.EndDeviceLog();
    const std::string log = fp.dir.Read("dev.log");
    const std::size_t at = log.find("!?Journal write error (");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_EQ(log.substr(log.find(')', at), 2), ")\r");
}
