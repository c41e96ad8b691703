// The journal page's reading of "Kovrin.lgb" on files of any size and contents, unfiltered
// and through its filter, with records coming in live afterwards, and the cells the list
// shows of every row.
//
// Input: byte 0 = the filter (any value), byte 1 = reads fail by the mask in byte 2 (bit
// 0) and the locale (bits 1-2), byte 3 = most bytes one read delivers (0: all), byte 4 =
// how many of the file's last whole records come in again live; then the file's contents.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/datetime.h"
#include "common/events.h"
#include "dialog/diagram/record_stream.h"
#include "dialog/mainwindow/journal_view.h"
#include "fuzz_support.h"

namespace {

constexpr char Path[] = "C:\\Kovrin\\Kovrin.lgb";

const TLocaleFormats Locales[4] = {
    {"dd.MM.yyyy", "H:mm:ss"},
    {"M/d/yyyy", "h:mm:ss tt"},
    {"yyyy-MM-dd", "HH:mm:ss"},
    {"d.M.yy", "H.mm.ss"},
};

// The dates of the calendar's years 1 to 9999, and what belongs to them: the day is the
// whole part, also below 0, where the sign covers only the day.
const double FirstDay = static_cast<double>(DaysFromCivil(1, 1, 1));
const double AfterLastDay = static_cast<double>(DaysFromCivil(10000, 1, 1));

bool InCalendar(double t) {
    return std::isfinite(t) && std::trunc(t) >= FirstDay && t < AfterLastDay;
}

bool Same(const TJournalRecord& a, const TJournalRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The page's loading: the list emptied, then every record the file gives.
void Load(TJournalRows& rows, fuzz::MemoryFiles& files) {
    rows.Clear();
    ReadRecords<TJournalRecord>(files, Path, [&](const TJournalRecord& r) {
        rows.Add(r);
        return true;
    });
}

// The records shown, oldest first, and the shape of the rows: never two separators in a
// row, none below the oldest record; each row shows what its record holds.
std::vector<TJournalRecord> Shown(const TJournalRows& rows, const TLocaleFormats& locale) {
    std::vector<TJournalRecord> out;
    const std::size_t n = rows.Count();
    for (std::size_t row = n; row-- > 0;) {
        const TJournalRecord* r = rows.RecordAt(row);
        FUZZ_CHECK(rows.IsSeparator(row) == (r == nullptr));
        const int image = rows.ImageOf(row);
        if (!r) {
            FUZZ_CHECK(row + 1 < n && !rows.IsSeparator(row + 1));
            FUZZ_CHECK(image == JK_ENDOFRUN);
            for (int c : {JC_KIND, JC_PORT, JC_TIME, JC_TEXT})
                FUZZ_CHECK(rows.CellText(row, c, locale).empty());
            continue;
        }
        out.push_back(*r);
        FUZZ_CHECK(r->Kind != JK_ENDOFRUN);
        FUZZ_CHECK(image == (r->Kind < JournalKindCount ? r->Kind : -1));
        FUZZ_CHECK(rows.CellText(row, JC_PORT, locale) == r->Port.Str());
        FUZZ_CHECK(rows.CellText(row, JC_TEXT, locale) == r->Text.Str());
        FUZZ_CHECK(rows.CellText(row, JC_PORT, locale).size() <= 5);
        FUZZ_CHECK(rows.CellText(row, JC_TEXT, locale).size() <= 100);
        FUZZ_CHECK(rows.CellText(row, JC_KIND, locale).empty());
        const std::string time = rows.CellText(row, JC_TIME, locale);
        FUZZ_CHECK(time.empty() == !InCalendar(r->Time));
        FUZZ_CHECK(time.size() <= 40);
    }
    FUZZ_CHECK(rows.RecordAt(n) == nullptr && rows.ImageOf(n) == -1 && !rows.IsSeparator(n));
    FUZZ_CHECK(rows.CellText(n, JC_TEXT, locale).empty());
    return out;
}

std::size_t Separators(const TJournalRows& rows) {
    std::size_t n = 0;
    for (std::size_t row = 0; row < rows.Count(); ++row)
        n += rows.IsSeparator(row);
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const int filter = static_cast<std::int8_t>(in.Byte());
    const std::uint8_t flags = in.Byte();
    const std::uint8_t mask = in.Byte();
    const std::size_t chunk = in.Byte();
    const std::size_t live = in.Byte();
    const TLocaleFormats& locale = Locales[flags >> 1 & 3];
    const std::string content = in.Rest();

    std::vector<TJournalRecord> records(content.size() / sizeof(TJournalRecord));
    if (!records.empty())
        std::memcpy(records.data(), content.data(), records.size() * sizeof(TJournalRecord));

    fuzz::MemoryFiles files;
    files.files[Path] = std::make_shared<std::string>(content);
    files.readChunk = chunk;
    files.failMask = flags & 1 ? mask : 0;

    // Unfiltered: every whole record but the ends of runs, in file order (up to a failed
    // read), and one separator for each end of a run that follows a record.
    TJournalRows all;
    Load(all, files);
    const std::vector<TJournalRecord> shown = Shown(all, locale);
    std::vector<TJournalRecord> expected;
    std::size_t ends = 0;
    bool afterRecord = false;
    for (const TJournalRecord& r : records) {
        if (r.Kind == JK_ENDOFRUN) {
            ends += afterRecord;
            afterRecord = false;
        } else {
            expected.push_back(r);
            afterRecord = true;
        }
    }
    FUZZ_CHECK(shown.size() <= expected.size());
    if (!files.failMask) {
        FUZZ_CHECK(shown.size() == expected.size());
        FUZZ_CHECK(Separators(all) == ends);
    }
    for (std::size_t i = 0; i < shown.size(); ++i)
        FUZZ_CHECK(Same(shown[i], expected[i]));
    FUZZ_CHECK(all.Count() <= records.size());

    // Filtered: a part of the unfiltered rows, only the chosen kind.
    files.failMask = 0;
    files.operations = 0;
    Load(all, files);
    const std::vector<TJournalRecord> every = Shown(all, locale);
    TJournalRows some;
    some.SetFilter(filter);
    FUZZ_CHECK(some.Filter() == (filter >= 0 && filter < JournalFilterCount ? filter : 0));
    Load(some, files);
    const std::vector<TJournalRecord> chosen = Shown(some, locale);
    FUZZ_CHECK(some.Count() <= all.Count());
    FUZZ_CHECK(Separators(some) <= Separators(all));
    std::size_t at = 0;
    for (const TJournalRecord& r : every)
        if (some.Filter() == 0 || r.Kind == some.Filter()) {
            FUZZ_CHECK(at < chosen.size() && Same(chosen[at], r));
            ++at;
        }
    FUZZ_CHECK(at == chosen.size());

    // Records coming in live land on top, as they would after a new reading of the file.
    TJournalRows grown = some;
    const std::size_t first = records.size() - std::min(live, records.size());
    for (std::size_t i = first; i < records.size(); ++i) {
        const bool added = grown.Add(records[i]);
        FUZZ_CHECK(!added || !grown.IsSeparator(0) || records[i].Kind == JK_ENDOFRUN);
        if (added && records[i].Kind != JK_ENDOFRUN)
            FUZZ_CHECK(Same(*grown.RecordAt(0), records[i]));
    }
    std::string doubled = content.substr(0, records.size() * sizeof(TJournalRecord));
    doubled += content.substr(first * sizeof(TJournalRecord),
                              (records.size() - first) * sizeof(TJournalRecord));
    files.files[Path] = std::make_shared<std::string>(doubled);
    TJournalRows reread;
    reread.SetFilter(filter);
    Load(reread, files);
    FUZZ_CHECK(reread.Count() == grown.Count());
    for (std::size_t row = 0; row < grown.Count(); ++row) {
        FUZZ_CHECK(grown.IsSeparator(row) == reread.IsSeparator(row));
        if (!grown.IsSeparator(row)) FUZZ_CHECK(Same(*grown.RecordAt(row), *reread.RecordAt(row)));
    }
    return 0;
}
