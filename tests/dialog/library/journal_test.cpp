#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <limits>

#include "common/datetime.h"
#include "common/events.h"
#include "dialog/mainwindow/journal_ids.h"
#include "harness.h"
#include "window_steps.h"

using namespace dialogtest;

namespace {

TJournalRecord Entry(std::uint8_t kind, const std::string& text = "", int minute = 0) {
    TJournalRecord r{};
    r.Kind = kind;
    r.Time = EncodeDateTime({2026, 3, 14, 10, minute, 5, 0});
    r.Port.Assign("COM1");
    r.Text.Assign(text);
    return r;
}

// Two runs of the monitor.
const std::vector<TJournalRecord> TwoRuns = {Entry(JK_INFO, "Запуск...", 0),
                                             Entry(JK_INFO, "Связь с UPS успешно установлена.", 1),
                                             Entry(JK_WARNING, "Сбой питающей сети.", 2),
                                             Entry(JK_USER, "LOW 11.42", 3),
                                             Entry(JK_INFO, "Выход.", 4),
                                             Entry(JK_ENDOFRUN, "", 4),
                                             Entry(JK_INFO, "Запуск...", 5),
                                             Entry(JK_ERROR, "Нет ответа от UPS.", 6)};

class JournalPage : public ::testing::Test {
protected:
    void Open(const std::vector<TJournalRecord>& records) {
        RemoveDataFiles();
        if (!records.empty()) WriteFile("Kovrin.lgb", Bytes(records));
        ASSERT_TRUE(session.Open());
        main = session.Main();
        SelectTab(main, 3);
        list = FindById(main, ID_JOURNAL_LIST);
        ASSERT_TRUE(list);
    }
    std::vector<std::string> Texts() { return ListColumn(list, 3); }
    void Filter(int index) {
        ChooseInCombo(FindById(main, ID_JOURNAL_FILTER), index);
        session.Sync();
    }
    TSession session;
    HWND main = nullptr, list = nullptr;
};

using Column = std::vector<std::string>;

} // namespace

TEST_F(JournalPage, NewestFirstWithOneEmptyRowBetweenRuns) {
    std::vector<TJournalRecord> file = TwoRuns;
    file.insert(file.begin(), Entry(JK_ENDOFRUN));     // none at the top of an empty list
    file.insert(file.begin() + 7, Entry(JK_ENDOFRUN)); // two in a row make one
    Open(file);
    EXPECT_EQ(Texts(),
              (Column{"Нет ответа от UPS.", "Запуск...", "", "Выход.", "LOW 11.42",
                      "Сбой питающей сети.", "Связь с UPS успешно установлена.", "Запуск..."}));
    EXPECT_EQ(ListCell(list, 0, 1), "COM1");
    EXPECT_EQ(ListCell(list, 0, 2), "14.03.2026 10:06:05");
    EXPECT_EQ(ListCell(list, 2, 1), "");
    // One picture a kind; the separator shows that of the end of a run.
    EXPECT_EQ(ListImage(list, 0), JK_ERROR);
    EXPECT_EQ(ListImage(list, 2), JK_ENDOFRUN);
    EXPECT_EQ(ListImage(list, 4), JK_USER);
    EXPECT_EQ(ListImage(list, 5), JK_WARNING);
    EXPECT_EQ(ListImage(list, 7), JK_INFO);
    HWND filter = FindById(main, ID_JOURNAL_FILTER);
    EXPECT_EQ(ComboText(filter), "Все");
    EXPECT_EQ(SendMessageA(filter, CB_GETCOUNT, 0, 0), 5);
}

TEST_F(JournalPage, LiveRecordsComeInAtTheTopAndTheSelectionStaysWithItsRecord) {
    Open(TwoRuns);
    SelectListRow(list, 1);
    session.SendJournal(Entry(JK_WARNING, "Сбой питающей сети.", 7));
    session.Sync();
    EXPECT_EQ(ListRows(list), 9);
    EXPECT_EQ(ListCell(list, 0, 3), "Сбой питающей сети.");
    EXPECT_EQ(SelectedListRow(list), 2);
    EXPECT_EQ(ListCell(list, 2, 3), "Запуск...");
    // The end of a run is a separator, once.
    session.SendJournal(Entry(JK_ENDOFRUN));
    session.SendJournal(Entry(JK_ENDOFRUN));
    session.Sync();
    EXPECT_EQ(ListRows(list), 10);
    EXPECT_EQ(ListCell(list, 0, 3), "");
}

TEST_F(JournalPage, TheFilterShowsOneKindAndTheRunSeparators) {
    Open(TwoRuns);
    Filter(3); // "Ошибки"
    EXPECT_EQ(Texts(), (Column{"Нет ответа от UPS."}));
    session.SendJournal(Entry(JK_INFO, "Выход.", 8));
    session.SendJournal(Entry(JK_ENDOFRUN));
    session.SendJournal(Entry(JK_ERROR, "Фатальная ошибка!", 9));
    session.Sync();
    EXPECT_EQ(Texts(), (Column{"Фатальная ошибка!", "", "Нет ответа от UPS."}));
    Filter(4);
    EXPECT_EQ(Texts(), (Column{"", "LOW 11.42"}));
    Filter(0);
    EXPECT_EQ(ListRows(list), 8);
}

TEST_F(JournalPage, ClearAsksThenDeletesTheFile) {
    Open(TwoRuns);
    Click(FindById(main, ID_JOURNAL_CLEAR));
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Caption, "Внимание");
    EXPECT_EQ(box.Message,
              "Вы действительно хотите очисить протокол (в том числе отфильтрованние события)?");
    ASSERT_TRUE(PressBoxButton(box, IDNO));
    session.Sync();
    EXPECT_EQ(ListRows(list), 8);
    Click(FindById(main, ID_JOURNAL_CLEAR));
    ASSERT_TRUE(PressBoxButton(WaitForBox(main), IDYES));
    session.Sync();
    EXPECT_EQ(ListRows(list), 0);
    EXPECT_FALSE(FileExists("Kovrin.lgb"));
    // The monitor's next entry starts the file and the list again.
    session.SendJournal(Entry(JK_INFO, "Применение настроек..."));
    session.Sync();
    EXPECT_EQ(Texts(), (Column{"Применение настроек..."}));
}

TEST_F(JournalPage, ClearWhileTheMonitorHoldsTheFileOpenForAppending) {
    Open(TwoRuns);
    // The monitor opens the journal sharing it for deletion: clearing succeeds.
    HANDLE writer = CreateFileA(ProgramFile("Kovrin.lgb").c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    Click(FindById(main, ID_JOURNAL_CLEAR));
    ASSERT_TRUE(PressBoxButton(WaitForBox(main), IDYES));
    session.Sync();
    EXPECT_TRUE(WaitNoBox(main, 500ms));
    CloseHandle(writer);
    EXPECT_FALSE(FileExists("Kovrin.lgb"));
    EXPECT_EQ(ListRows(list), 0);
}

TEST_F(JournalPage, AFileThatCannotBeDeletedIsReportedAndShownAgain) {
    Open(TwoRuns);
    HANDLE holder = CreateFileA(ProgramFile("Kovrin.lgb").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Click(FindById(main, ID_JOURNAL_CLEAR));
    ASSERT_TRUE(PressBoxButton(WaitForBox(main), IDYES));
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Caption, "Ошибка");
    EXPECT_EQ(box.Message, "Не удалось удалить файл протокола Kovrin.lgb.");
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    session.Sync();
    CloseHandle(holder);
    EXPECT_TRUE(FileExists("Kovrin.lgb"));
    EXPECT_EQ(ListRows(list), 8);
}

TEST_F(JournalPage, DamagedRecordsShowWhatTheyCan) {
    std::vector<TJournalRecord> file = TwoRuns;
    TJournalRecord bad = Entry(9);
    bad.Time = std::numeric_limits<double>::quiet_NaN();
    bad.Port.Length = 250;
    bad.Text.Length = 255;
    std::memset(bad.Text.Chars, 'T', sizeof bad.Text.Chars);
    file.push_back(bad);
    std::string bytes = Bytes(file) + "torn"; // a record being appended
    RemoveDataFiles();
    WriteFile("Kovrin.lgb", bytes);
    ASSERT_TRUE(session.Open());
    HWND l = FindById(session.Main(), ID_JOURNAL_LIST);
    ASSERT_EQ(ListRows(l), 9);
    EXPECT_EQ(ListCell(l, 0, 2), "");
    EXPECT_EQ(ListCell(l, 0, 3), std::string(100, 'T'));
    EXPECT_EQ(ListImage(l, 0), -1);
}
