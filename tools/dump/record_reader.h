#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Reads the whole records of a file that the monitor may be appending to, one batch at a
// time, and notices when the file is cut shorter, removed, or removed and created again
// (the dialog clears the journal that way): reading then starts over at the new start.
// A new file may get the old one's inode and grow past the old size between two looks,
// so the last record read is also checked to be still in its place.
// A trailing fragment is never handed out as a record.
class RecordReader {
public:
    RecordReader(std::string path, std::size_t recordSize);

    enum class Status { Ok, Missing, Failed };

    struct Batch {
        Status State = Status::Ok;
        std::string Error; // why, when Failed
        bool Restarted =
            false; // the file is not the one read so far: these records are from its start
        std::string Records; // whole records only, in file order
        std::uint64_t FileSize = 0;
        std::uint64_t Trailing = 0; // bytes after the last whole record once all records are read
    };

    // At most `maxRecords` whole records from where the previous batch ended.
    Batch Next(std::size_t maxRecords);

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::size_t recordSize_;
    std::uint64_t position_ = 0;
    bool known_ = false; // a file has been opened before
    bool gone_ = false;  // and has since been found missing
    std::uint64_t device_ = 0, inode_ = 0;
    std::string lastRecord_; // the record just before position_
};
