#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/datetime.h"
#include "common/records.h"

class IFile;
class IFileSystem;

// The statistics file "Stat.ups": 52-byte records appended during the whole run.
class StatRecorder {
public:
    explicit StatRecorder(IFileSystem& files);
    ~StatRecorder();

    // Opens the file shared for reading and writing and moves to its end; on failure
    // nothing is recorded during this run.
    void Open(const std::string& path);
    // Appends one record. A short write is cut back off the file and ends recording for
    // the run; a write that fails outright is ignored and the next record is tried.
    void Write(TDateTime now, const TUpsStatus& status);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

private:
    IFileSystem& files_;
    std::unique_ptr<IFile> file_;
};

struct StatCheck {
    std::int32_t StatInterval;   // ms
    std::int32_t FailedPolls;
    bool Suspended;
    bool PowerFailed;            // transitions of the last successful poll
    bool PowerReturned;
    bool Quitting;
};

// Whether the end of a control-loop pass writes a statistics record. Ticks are compared
// as 32-bit signed numbers so that the wrap of the counter is seen.
bool StatRecordDue(const StatCheck& check, std::uint32_t now, std::uint32_t lastTick);

// Milliseconds from now until a pass would write a record by time alone (the interval
// elapsing, or the counter wrapping as StatRecordDue sees it); 0 when one is due now. None
// while no record can fall due by time (interval too short, link down, suspended).
std::optional<std::uint32_t> StatRecordWait(const StatCheck& check, std::uint32_t now,
                                            std::uint32_t lastTick);
