// The start-up check of the data files with its conversion, the readers of the rule and
// command lists, the appends to the journal and the statistics, and the dump tool's view
// of every record, on files of any size and contents.
//
// Input:
//   0  flags: 01 the answer to the question is Yes, 02 file operations fail by the mask
//      that follows (8 bytes), 04 reads deliver at most the next byte's count, 10/20/40/80
//      the rules/commands/journal/statistics file is missing
//   1  after the check: 01 append a journal entry, 02 append a statistics record
//   then per file (rules, commands, journal, statistics) one byte: bits 0-5 a record
//   count (60-63: 64, 65, 128, 129), bits 6-7 the layout (0 current records, 1 records of the
//   previous layout, 2 current records and a fragment of the next byte's count + 1, 3 the next
//   byte's count of bytes); the rest fills the files' bytes in turn, repeated as needed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "common/record_list.h"
#include "common/records.h"
#include "fuzz_support.h"
#include "monitor/app/data_files.h"
#include "monitor/events/journal.h"
#include "monitor/events/statistics.h"
#ifdef KOVRIN_FUZZ_DUMP
#include "tools/dump/file_kind.h"
#endif

namespace {

enum { Rules, Commands, Journal, Stats, FileCount };

constexpr std::size_t CurrentSize[FileCount] = {sizeof(TEventRule), sizeof(TCustomCommand),
                                                sizeof(TJournalRecord), sizeof(TStatRecord)};
constexpr std::size_t OldSize[FileCount] = {sizeof(TOldEventRule), sizeof(TCustomCommand),
                                            sizeof(TJournalRecord), sizeof(TStatRecord)};

// Whether n bytes are all zero (one comparison rather than a traced one per byte).
bool Zero(const unsigned char* bytes, std::size_t n) {
    static const unsigned char zeros[sizeof(TEventRule)] = {};
    return n <= sizeof zeros && std::memcmp(bytes, zeros, n) == 0;
}

// A length-prefixed text carried over: the same text, nothing but zeros behind it.
void CheckText(const unsigned char* from, const unsigned char* to, std::size_t capacity) {
    FUZZ_CHECK(to[0] == from[0]);
    const std::size_t n = std::min<std::size_t>(from[0], capacity);
    FUZZ_CHECK(std::memcmp(to + 1, from + 1, n) == 0);
    FUZZ_CHECK(Zero(to + 1 + n, capacity - n));
}

void CheckConverted(int file, const std::string& before, const std::string& after) {
    const std::size_t count = before.size() / OldSize[file];
    FUZZ_CHECK(after.size() == count * CurrentSize[file]);
    for (std::size_t r = 0; r < count; ++r) {
        const auto* o = reinterpret_cast<const unsigned char*>(before.data()) + r * OldSize[file];
        const auto* n =
            reinterpret_cast<const unsigned char*>(after.data()) + r * CurrentSize[file];
        switch (file) {
        case Rules:
            FUZZ_CHECK(std::memcmp(n, o, 4) == 0); // identifier, source, action
            CheckText(o + 4, n + 4, 255);
            FUZZ_CHECK(Zero(n + 260, sizeof(TEventRule) - 260)); // no expression yet
            break;
        case Commands:
            FUZZ_CHECK(std::memcmp(n, o, 3) == 0); // identifier, code
            CheckText(o + 3, n + 3, 50);
            CheckText(o + 54, n + 54, 50);
            break;
        case Journal:
            FUZZ_CHECK(std::memcmp(n, o, 9) == 0); // kind, date-time
            CheckText(o + 9, n + 9, 5);
            CheckText(o + 15, n + 15, 100);
            break;
        }
    }
}

// The pool's bytes in turn from `next` on (zeros when it is empty): one period copied from
// the pool, then the filled part onto the rest, doubling. A loop per byte spent a quarter
// of every run in the comparison tracing.
void Fill(std::string& bytes, const std::string& pool, std::size_t& next) {
    if (pool.empty()) return;
    const std::size_t period = std::min(pool.size(), bytes.size());
    std::size_t at = 0;
    while (at < period) {
        const std::size_t from = (next + at) % pool.size();
        const std::size_t n = std::min(pool.size() - from, period - at);
        std::memcpy(&bytes[at], pool.data() + from, n);
        at += n;
    }
    while (at < bytes.size()) {
        const std::size_t n = std::min(at, bytes.size() - at);
        std::memcpy(&bytes[at], bytes.data(), n);
        at += n;
    }
    next += bytes.size();
}

bool Current(const std::string* sizes[FileCount]) {
    for (int f = 0; f < Stats; ++f)
        if (!sizes[f] || sizes[f]->size() % CurrentSize[f] != 0) return false;
    return true;
}

template <typename T>
void CheckList(fuzz::MemoryFiles& files, const std::string& path, bool exact) {
    RecordList<T> list;
    const bool loaded = list.Load(files, path);
    FUZZ_CHECK(list.Size() <= MaxListRecords);
    const std::string* bytes = files.Content(path);
    if (exact && bytes) {
        FUZZ_CHECK(loaded);
        FUZZ_CHECK(list.Size() == std::min(MaxListRecords, bytes->size() / sizeof(T)));
        for (std::size_t i = 0; i < list.Size(); ++i)
            FUZZ_CHECK(std::memcmp(&list[i], bytes->data() + i * sizeof(T), sizeof(T)) == 0);
    }
    for (const T& item : list)
        FUZZ_CHECK(item.Parameter.View().size() <= item.Parameter.Capacity);
}

#ifdef KOVRIN_FUZZ_DUMP
void Dump(const std::string* bytes, FileKind kind) {
    if (!bytes) return;
    const KindInfo& info = KindOf(kind);
    // A few records show every way a record is printed; more only cost time.
    const std::size_t end = std::min(bytes->size(), 4 * info.RecordSize);
    for (std::size_t at = 0; at + info.RecordSize <= end; at += info.RecordSize) {
        const std::string_view record(bytes->data() + at, info.RecordSize);
        const std::string line = info.Line(record);
        FUZZ_CHECK(line.find('\n') == std::string::npos);
        info.CsvFields(record);
    }
}
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const std::uint8_t flags = in.Byte();
    const std::uint8_t after = in.Byte();
    std::uint64_t failMask = 0;
    if (flags & 0x02)
        for (int i = 0; i < 8; ++i)
            failMask |= std::uint64_t{in.Byte()} << (8 * i);
    const std::size_t readChunk = (flags & 0x04) ? in.Byte() : 0;

    std::size_t sizes[FileCount];
    for (int f = 0; f < FileCount; ++f) {
        const std::uint8_t c = in.Byte();
        // Counts from 60 on stand for the lengths around the converter's batch of 64 records.
        constexpr std::size_t Long[] = {64, 65, 128, 129};
        const std::size_t count = (c & 0x3F) < 60 ? (c & 0x3F) : Long[(c & 0x3F) - 60];
        switch (c >> 6) {
        case 0:
            sizes[f] = count * CurrentSize[f];
            break;
        case 1:
            sizes[f] = count * OldSize[f];
            break;
        case 2:
            sizes[f] = count * CurrentSize[f] + 1 + in.Byte();
            break;
        default:
            sizes[f] = in.Byte();
        }
    }
    const std::string pool = in.Rest();

    fuzz::MemoryFiles files;
    fuzz::ScriptedDesktop desktop;
    desktop.answers = {(flags & 0x01) ? IDX_YES : IDX_NO};
    const DataFilePaths paths = MakeDataFilePaths(fuzz::ProgramDir);
    const std::string path[FileCount] = {paths.Events, paths.Commands, paths.Journal, paths.Stats};
    std::string original[FileCount];
    std::size_t next = 0;
    for (int f = 0; f < FileCount; ++f) {
        std::string& bytes = original[f];
        bytes.resize(sizes[f]);
        Fill(bytes, pool, next);
        if (!(flags >> (4 + f) & 1)) files.files[path[f]] = std::make_shared<std::string>(bytes);
    }
    const bool missing[FileCount] = {(flags & 0x10) != 0, (flags & 0x20) != 0, (flags & 0x40) != 0,
                                     (flags & 0x80) != 0};

    files.failMask = failMask;
    files.readChunk = readChunk;
    const bool fatal = CheckDataFiles(files, desktop, paths);
    const bool faults = failMask != 0;

    const std::string* now[FileCount];
    for (int f = 0; f < FileCount; ++f)
        now[f] = files.Content(path[f]);
    const std::string* before[FileCount];
    std::string empty;
    for (int f = 0; f < FileCount; ++f)
        before[f] = missing[f] ? &empty : &original[f];
    const bool wasCurrent = Current(before);
    bool wasOld = true;
    for (int f = 0; f < Stats; ++f)
        wasOld = wasOld && before[f]->size() % OldSize[f] == 0;

    if (!fatal) {
        // The monitor runs only on files of the current layout, all four present, and
        // converts only files that all fit the previous one, after a Yes.
        FUZZ_CHECK(Current(now) && now[Stats] != nullptr);
        FUZZ_CHECK(wasCurrent || (wasOld && (flags & 0x01)));
        FUZZ_CHECK(*now[Stats] == *before[Stats]);
        for (int f = 0; f < Stats; ++f) {
            if (wasCurrent)
                FUZZ_CHECK(*now[f] == *before[f]);
            else
                CheckConverted(f, *before[f], *now[f]);
        }
        if (!faults) FUZZ_CHECK(desktop.texts.size() == (wasCurrent ? 0u : 1u));
    } else {
        // Refused: every original is as it was. Only a file operation failing while the
        // converted files replace the originals one by one leaves some of them replaced
        // already (each a complete conversion of its original), or one original gone and
        // its conversion kept as the ".tmp"; nothing is lost either way.
        for (int f = 0; f < FileCount; ++f) {
            if (missing[f]) continue;
            if (now[f]) {
                if (*now[f] != original[f]) {
                    FUZZ_CHECK(faults && f != Stats);
                    CheckConverted(f, original[f], *now[f]);
                }
            } else {
                FUZZ_CHECK(faults && f != Stats);
                const std::string* temp = files.Content(path[f] + ".tmp");
                FUZZ_CHECK(temp != nullptr);
                CheckConverted(f, original[f], *temp);
            }
        }
        if (!faults) {
            FUZZ_CHECK(!wasCurrent);
            FUZZ_CHECK(!(flags & 0x01) || !wasOld); // a Yes on convertible files goes on
        }
    }
    if (!faults)
        for (int f = 0; f < Stats; ++f)
            FUZZ_CHECK(files.Content(path[f] + ".tmp") == nullptr);

    // The lists read what is there, at most 50 records, each unchanged.
    files.failMask = 0;
    CheckList<TEventRule>(files, path[Rules], true);
    CheckList<TCustomCommand>(files, path[Commands], true);
    files.failMask = failMask;
    files.operations = 0;
    CheckList<TEventRule>(files, path[Rules], false);
    CheckList<TCustomCommand>(files, path[Commands], false);
    files.failMask = 0;

#ifdef KOVRIN_FUZZ_DUMP
    Dump(files.Content(path[Journal]), FileKind::Journal);
    Dump(files.Content(path[Stats]), FileKind::Stats);
    Dump(files.Content(path[Rules]), FileKind::Rules);
    Dump(files.Content(path[Commands]), FileKind::Commands);
#endif

    if (after & 0x01) {
        // A new entry goes after the last whole record, even in a torn file.
        const std::string old = files.Content(path[Journal]) ? *files.Content(path[Journal]) : "";
        const std::string text = pool.substr(0, std::min<std::size_t>(pool.size(), 150));
        const TJournalRecord record = MakeJournalRecord(after >> 4, 46364.5, "COM10", text);
        FUZZ_CHECK(AppendJournalRecord(files, path[Journal], record));
        const std::string& grown = *files.Content(path[Journal]);
        const std::size_t whole = old.size() / sizeof record * sizeof record;
        FUZZ_CHECK(grown.size() == whole + sizeof record);
        FUZZ_CHECK(grown.compare(0, whole, old, 0, whole) == 0);
        FUZZ_CHECK(std::memcmp(grown.data() + whole, &record, sizeof record) == 0);
    }
    if (after & 0x02) {
        if (!files.Content(path[Stats])) files.files[path[Stats]] = std::make_shared<std::string>();
        const std::string old = *files.Content(path[Stats]);
        StatRecorder recorder(files);
        recorder.Open(path[Stats]);
        FUZZ_CHECK(recorder.IsOpen());
        TUpsStatus status;
        std::memset(&status, after, sizeof status);
        recorder.Write(46364.5, status);
        const std::string& grown = *files.Content(path[Stats]);
        const std::size_t whole = old.size() / sizeof(TStatRecord) * sizeof(TStatRecord);
        FUZZ_CHECK(grown.size() == whole + sizeof(TStatRecord));
        FUZZ_CHECK(grown.compare(0, whole, old, 0, whole) == 0);
    }
    return 0;
}
