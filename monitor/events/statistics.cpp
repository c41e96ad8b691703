#include "monitor/events/statistics.h"

#include <cstring>

#include "common/files.h"

namespace {

constexpr std::int64_t RecordSize = sizeof(TStatRecord);
// The control loop's idle wait; a shorter interval would write on every pass.
constexpr std::int32_t IdleWait = 10;

} // namespace

StatRecorder::StatRecorder(IFileSystem& files) : files_(files) {}
StatRecorder::~StatRecorder() = default;

void StatRecorder::Open(const std::string& path) {
    file_.reset();
    // The data-file check has created the file; the diagram reads it while we append.
    file_ = files_.Open(path, FileOpen::ReadWriteExisting, FileShare::ReadWrite);
    if (!file_) return;
    // Records are appended after the last whole one: a record torn by a crash or a power
    // cut would otherwise shift every later record the diagram reads.
    const std::int64_t size = file_->Size();
    if (size < 0 || !file_->Seek(size - size % RecordSize)) file_.reset();
}

void StatRecorder::Write(TDateTime now, const TUpsStatus& status) {
    if (!file_) return;
    TStatRecord record;
    record.Time = now;
    std::memcpy(&record.Status, &status, sizeof status);
    const std::int64_t at = file_->Position();
    std::size_t done = 0;
    const bool ok = file_->Write(&record, sizeof record, done);
    if (ok && done == sizeof record) return;
    if (!ok && done == 0) return; // nothing written: the next record is tried
    // Part of a record reached the file: cut it off so the file stays whole records.
    const std::int64_t cut = at >= 0 ? at : file_->Size() - static_cast<std::int64_t>(done);
    if (cut >= 0 && file_->Seek(cut)) file_->Truncate();
    // A short count means the disk is full: nothing more is recorded in this run.
    if (ok) file_.reset();
}

void StatRecorder::Close() {
    file_.reset();
}

bool StatRecordDue(const StatCheck& check, std::uint32_t now, std::uint32_t lastTick) {
    if (check.StatInterval <= IdleWait || check.FailedPolls != 0 || check.Suspended) return false;
    // Compared as signed 32-bit numbers, so the counter passing into the negative half
    // counts as a wrap; the elapsed time itself is taken modulo 2^32.
    const bool wrapped = static_cast<std::int32_t>(now) < static_cast<std::int32_t>(lastTick);
    const bool elapsed = now - lastTick >= static_cast<std::uint32_t>(check.StatInterval);
    return wrapped || elapsed || check.PowerFailed || check.PowerReturned || check.Quitting;
}

std::optional<std::uint32_t> StatRecordWait(const StatCheck& check, std::uint32_t now,
                                            std::uint32_t lastTick) {
    if (check.StatInterval <= IdleWait || check.FailedPolls != 0 || check.Suspended)
        return std::nullopt;
    const StatCheck byTime{check.StatInterval, 0, false, false, false, false};
    if (StatRecordDue(byTime, now, lastTick)) return 0;
    const auto interval = static_cast<std::uint32_t>(check.StatInterval);
    const std::uint32_t untilElapsed = interval - (now - lastTick); // at least 1: not due
    // The counter reads as a wrap when it passes into the negative half, unless the last
    // record was written at that very tick; from the negative half the next such passing
    // is further away than any interval.
    constexpr std::uint32_t NegativeHalf = 0x80000000u;
    if (now >= NegativeHalf || lastTick == NegativeHalf) return untilElapsed;
    const std::uint32_t untilWrap = NegativeHalf - now;
    return untilElapsed < untilWrap ? untilElapsed : untilWrap;
}
