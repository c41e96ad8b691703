#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/records.h"
#include "dialog/module/conversions.h"

// The "Протокол" page's rows apart from its list. Every record is added at the top, so
// that the newest shows first; a record of the end of a run becomes one empty separator
// row between the runs. Rows are kept oldest first and counted from the end, so adding
// at the top costs the same however long the journal grows: the list asks for the rows
// it shows by number (a virtual list), and nothing is moved.

// The filter's entries, in the order of the kinds they select.
inline constexpr int JournalFilterCount = 5;
inline constexpr std::string_view JournalFilterCaptions[JournalFilterCount] = {
    "Все", "Информация", "Предупреждения", "Ошибки", "Пользовательские"};

enum TJournalColumn : int { JC_KIND, JC_PORT, JC_TIME, JC_TEXT };

class TJournalRows {
public:
    // 0 all kinds, 1-4 only that kind (and the separators). The rows are not changed: a
    // new filter is followed by a new reading of the file.
    void SetFilter(int filter);
    int Filter() const { return filter_; }

    // One record, from the file or live from the monitor; true when a row was added.
    bool Add(const TJournalRecord& record);
    void Clear();

    std::size_t Count() const { return rows_.size(); }
    bool IsSeparator(std::size_t row) const;
    // The record shown in a row (0 = top); null for a separator or beyond the rows.
    const TJournalRecord* RecordAt(std::size_t row) const;
    // The image of a row: its kind 0-4 (a separator shows kind 0's); -1 for none.
    int ImageOf(std::size_t row) const;
    std::string CellText(std::size_t row, int column,
                         const TLocaleFormats& formats = UserLocaleFormats()) const;

private:
    static constexpr std::uint32_t Separator = 0xFFFFFFFF;
    std::size_t Slot(std::size_t row) const { return rows_.size() - 1 - row; }

    int filter_ = 0;
    std::vector<TJournalRecord> records_; // of the rows, oldest first
    std::vector<std::uint32_t> rows_;     // oldest first: an index into records_, or Separator
};

// The time column: the short date followed by the long time; empty for a value that is
// no date of the calendar.
std::string JournalTimeText(double time, const TLocaleFormats& formats = UserLocaleFormats());
