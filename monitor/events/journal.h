#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/datetime.h"
#include "common/records.h"

class IFileSystem;

// A zero-filled journal record with the port cut to 5 and the text to 100 characters.
TJournalRecord MakeJournalRecord(std::uint8_t kind, TDateTime time, std::string_view port,
                                 std::string_view text);

// Appends one record to the journal file, creating the file when it is missing (the
// dialog deletes it to clear the journal). A file whose size is not a whole number of
// records, as after a torn write, gets the new record after the last whole one.
// False when the file could not be opened or written; the file is left as it was.
bool AppendJournalRecord(IFileSystem& files, const std::string& path, const TJournalRecord& record);
