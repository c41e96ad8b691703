#include "dialog/mainwindow/journal_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "common/datetime.h"
#include "common/events.h"
#include "common/files.h"
#include "dialog/diagram/record_stream.h"

namespace {

const TLocaleFormats Russian;

TJournalRecord Entry(std::uint8_t kind, const std::string& text = "", double time = 46000.5) {
    TJournalRecord r{};
    r.Kind = kind;
    r.Time = time;
    r.Port.Assign("COM1");
    r.Text.Assign(text);
    return r;
}

// The rows top down: the text, "-" for a separator.
std::vector<std::string> Shown(const TJournalRows& rows) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < rows.Count(); ++i)
        out.push_back(rows.IsSeparator(i) ? "-" : rows.CellText(i, JC_TEXT, Russian));
    return out;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(JournalRows, NewestOnTopWithOneSeparatorBetweenRuns) {
    TJournalRows rows;
    for (const TJournalRecord& r :
         {Entry(JK_ENDOFRUN), Entry(JK_INFO, "Запуск..."), Entry(JK_WARNING, "Сбой питающей сети."),
          Entry(JK_INFO, "Выход."), Entry(JK_ENDOFRUN), Entry(JK_ENDOFRUN),
          Entry(JK_INFO, "Запуск...")})
        rows.Add(r);
    EXPECT_EQ(Shown(rows), (Texts{"Запуск...", "-", "Выход.", "Сбой питающей сети.", "Запуск..."}));
    // A live record comes in at the top.
    EXPECT_TRUE(rows.Add(Entry(JK_USER, "LOW 11.42")));
    EXPECT_EQ(Shown(rows).front(), "LOW 11.42");
    EXPECT_EQ(rows.Count(), 6u);
}

TEST(JournalRows, AFilterShowsItsKindAndTheSeparators) {
    TJournalRows rows;
    rows.SetFilter(JK_ERROR);
    const std::vector<TJournalRecord> file = {Entry(JK_INFO, "a"),
                                              Entry(JK_ERROR, "Нет ответа от UPS."),
                                              Entry(JK_ENDOFRUN),
                                              Entry(JK_WARNING, "b"),
                                              Entry(JK_ENDOFRUN),
                                              Entry(JK_USER, "c"),
                                              Entry(JK_ERROR, "Фатальная ошибка!")};
    for (const TJournalRecord& r : file)
        rows.Add(r);
    EXPECT_EQ(Shown(rows), (Texts{"Фатальная ошибка!", "-", "Нет ответа от UPS."}));
    // Back to all: the page empties the rows and reads the file again.
    rows.SetFilter(0);
    rows.Clear();
    for (const TJournalRecord& r : file)
        rows.Add(r);
    EXPECT_EQ(Shown(rows),
              (Texts{"Фатальная ошибка!", "c", "-", "b", "-", "Нет ответа от UPS.", "a"}));
    // Only runs of the filtered kind leave separators; an empty list gets none.
    rows.SetFilter(JK_USER);
    rows.Clear();
    for (const TJournalRecord& r : {Entry(JK_INFO), Entry(JK_ENDOFRUN), Entry(JK_INFO)})
        rows.Add(r);
    EXPECT_EQ(rows.Count(), 0u);
    rows.SetFilter(9); // no such entry: all
    EXPECT_EQ(rows.Filter(), 0);
}

TEST(JournalRows, ColumnsAndImages) {
    TJournalRows rows;
    rows.Add(Entry(JK_WARNING, "Сбой питающей сети.", EncodeDateTime({2026, 12, 8, 9, 5, 3, 0})));
    rows.Add(Entry(JK_ENDOFRUN));
    rows.Add(Entry(7, "damaged kind"));
    EXPECT_EQ(rows.ImageOf(0), -1); // shown, but with no picture
    EXPECT_EQ(rows.CellText(0, JC_TEXT, Russian), "damaged kind");
    EXPECT_EQ(rows.ImageOf(1), JK_ENDOFRUN);
    for (int c : {JC_KIND, JC_PORT, JC_TIME, JC_TEXT})
        EXPECT_EQ(rows.CellText(1, c, Russian), "") << c;
    EXPECT_EQ(rows.ImageOf(2), JK_WARNING);
    EXPECT_EQ(rows.CellText(2, JC_KIND, Russian), "");
    EXPECT_EQ(rows.CellText(2, JC_PORT, Russian), "COM1");
    EXPECT_EQ(rows.CellText(2, JC_TIME, Russian), "08.12.2026 9:05:03");
    EXPECT_EQ(rows.CellText(3, JC_TEXT, Russian), ""); // beyond the rows
    EXPECT_EQ(rows.ImageOf(3), -1);
    EXPECT_EQ(rows.RecordAt(3), nullptr);
}

TEST(JournalRows, TimesThatAreNoDatesShowNothing) {
    EXPECT_EQ(JournalTimeText(std::numeric_limits<double>::quiet_NaN(), Russian), "");
    EXPECT_EQ(JournalTimeText(1e300, Russian), "");
    EXPECT_EQ(JournalTimeText(0, Russian), "30.12.1899 0:00:00");
}

TEST(JournalRows, DamagedLengthsStayWithinTheirAreas) {
    TJournalRecord r = Entry(JK_INFO);
    r.Port.Length = 200;
    std::memset(r.Port.Chars, 'P', sizeof r.Port.Chars);
    r.Text.Length = 255;
    std::memset(r.Text.Chars, 'T', sizeof r.Text.Chars);
    TJournalRows rows;
    rows.Add(r);
    EXPECT_EQ(rows.CellText(0, JC_PORT, Russian), std::string(5, 'P'));
    EXPECT_EQ(rows.CellText(0, JC_TEXT, Russian), std::string(100, 'T'));
}

TEST(RecordStream, WholeRecordsInFileOrderAcrossBlocks) {
    const auto dir = std::filesystem::temp_directory_path() / "kovrin_record_stream";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "Kovrin.lgb").string();
    // More records than one block holds, then half a record being appended.
    const int count = (1 << 20) / static_cast<int>(sizeof(TJournalRecord)) * 2 + 17;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (int i = 0; i < count; ++i) {
            TJournalRecord r = Entry(JK_INFO, std::to_string(i), i);
            out.write(reinterpret_cast<const char*>(&r), sizeof r);
        }
        out.write("partial", 7);
    }
    int seen = 0;
    bool inOrder = true;
    EXPECT_TRUE(ReadRecords<TJournalRecord>(SystemFiles(), path, [&](const TJournalRecord& r) {
        inOrder = inOrder && r.Time == seen && r.Text.Str() == std::to_string(seen);
        ++seen;
        return true;
    }));
    EXPECT_EQ(seen, count);
    EXPECT_TRUE(inOrder);
    // The sink may stop early.
    seen = 0;
    ReadRecords<TJournalRecord>(SystemFiles(), path,
                                [&](const TJournalRecord&) { return ++seen < 3; });
    EXPECT_EQ(seen, 3);
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(ReadRecords<TJournalRecord>(SystemFiles(), path,
                                             [](const TJournalRecord&) { return true; }));
}
