#include "monitor/events/statistics.h"

#include "common/files.h"

StatRecorder::StatRecorder(IFileSystem& files) : files_(files) {}
StatRecorder::~StatRecorder() = default;
void StatRecorder::Open(const std::string&) {}
void StatRecorder::Write(TDateTime, const TUpsStatus&) {}
void StatRecorder::Close() { file_.reset(); }
bool StatRecordDue(const StatCheck&, std::uint32_t, std::uint32_t) { return false; }
