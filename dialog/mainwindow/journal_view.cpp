#include "dialog/mainwindow/journal_view.h"

#include "common/events.h"

void TJournalRows::SetFilter(int filter) {
    filter_ = filter >= 0 && filter < JournalFilterCount ? filter : 0;
}

bool TJournalRows::Add(const TJournalRecord& record) {
    if (filter_ != 0 && record.Kind != JK_ENDOFRUN && record.Kind != filter_) return false;
    if (record.Kind == JK_ENDOFRUN) {
        // One empty row between runs; none at the top of an empty list.
        if (rows_.empty() || rows_.back() == Separator) return false;
        rows_.push_back(Separator);
        return true;
    }
    // Kinds of no meaning (a damaged file) still show, without an image, under "Все".
    records_.push_back(record);
    rows_.push_back(static_cast<std::uint32_t>(records_.size() - 1));
    return true;
}

void TJournalRows::Clear() {
    records_.clear();
    rows_.clear();
}

bool TJournalRows::IsSeparator(std::size_t row) const {
    return row < rows_.size() && rows_[Slot(row)] == Separator;
}

const TJournalRecord* TJournalRows::RecordAt(std::size_t row) const {
    if (row >= rows_.size()) return nullptr;
    const std::uint32_t index = rows_[Slot(row)];
    return index == Separator ? nullptr : &records_[index];
}

int TJournalRows::ImageOf(std::size_t row) const {
    if (row >= rows_.size()) return -1;
    if (IsSeparator(row)) return JK_ENDOFRUN;
    const int kind = RecordAt(row)->Kind;
    return kind < JournalKindCount ? kind : -1;
}

std::string TJournalRows::CellText(std::size_t row, int column,
                                   const TLocaleFormats& formats) const {
    const TJournalRecord* record = RecordAt(row);
    if (!record) return {};
    switch (column) {
    case JC_PORT:
        return record->Port.Str();
    case JC_TIME:
        return JournalTimeText(record->Time, formats);
    case JC_TEXT:
        return record->Text.Str();
    default:
        return {};
    }
}

std::string JournalTimeText(double time, const TLocaleFormats& formats) {
    const std::string date = FormatDate(time, formats);
    if (date.empty()) return {};
    return date + " " + FormatTimeOfDay(time, formats);
}
