#include "monitor/events/journal.h"

#include <cstring>

#include "common/files.h"

TJournalRecord MakeJournalRecord(std::uint8_t kind, TDateTime time, std::string_view port,
                                 std::string_view text) {
    TJournalRecord record;
    // Zero-filled, so the bytes after each text are 0 in the file.
    std::memset(&record, 0, sizeof record);
    record.Kind = kind;
    record.Time = time;
    record.Port.Assign(port);
    record.Text.Assign(text);
    return record;
}

bool AppendJournalRecord(IFileSystem& files, const std::string& path,
                         const TJournalRecord& record) {
    // Opened per entry and shared for deletion: the dialog may delete the file meanwhile
    // to clear the journal, and the next entry creates it again.
    auto file = files.Open(path, FileOpen::OpenAlways, FileShare::ReadWriteDelete);
    if (!file) return false;
    const std::int64_t size = file->Size();
    if (size < 0) return false;
    // After the last whole record: a torn earlier write must not shift every later record.
    const std::int64_t end = size - size % static_cast<std::int64_t>(sizeof record);
    if (!file->Seek(end)) return false;
    std::size_t done = 0;
    const bool ok = file->Write(&record, sizeof record, done);
    if (ok && done == sizeof record) return true;
    // A partial record is cut off again, so the file stays a whole number of records.
    if (done > 0 && file->Seek(end)) file->Truncate();
    return false;
}
