#include "tools/dump/dumper.h"

#include <memory>
#include <ostream>
#include <vector>

#include "tools/dump/csv.h"
#include "tools/dump/record_reader.h"

namespace {

// Records are read in batches so that a statistics file of years stays cheap to print.
constexpr std::size_t BatchRecords = 4096;

// What the files of one run share: the streams, and which file printed last, so that
// with several files each block of records is headed by its file's name.
struct Output {
    std::ostream& Out;
    std::ostream& Err;
    bool Csv;
    bool Banners;
    const void* LastPrinted = nullptr;
};

class FileDump {
public:
    FileDump(const DumpFile& file, Output& output)
        : path_(file.Path), kind_(*file.Kind), reader_(file.Path, file.Kind->RecordSize),
          output_(output), out_(output.Out), err_(output.Err) {}

    bool Failed() const { return failed_; }

    // The first look: every record there is now. A missing file is an error unless the
    // caller is going to wait for it.
    void Start(bool waitForIt) { Pump(waitForIt, true); }

    // A later look while following: only what is new.
    void Poll() { Pump(true, false); }

private:
    // Returns false when the file could not be read.
    bool Pump(bool following, bool first) {
        if (first) Banner(true);
        for (;;) {
            RecordReader::Batch batch = reader_.Next(BatchRecords);
            if (batch.State == RecordReader::Status::Missing) {
                if (!following) {
                    Fail("No such file or directory");
                    return false;
                }
                if (!missingTold_) err_ << path_ << ": not there; waiting for it\n";
                missingTold_ = true;
                return true;
            }
            if (batch.State == RecordReader::Status::Failed) {
                Fail(batch.Error);
                return false;
            }
            if (first && !headerDone_) Header();
            missingTold_ = false;
            if (batch.Restarted) {
                err_ << path_ << ": the file was cut or created anew; reading it from the start\n";
                count_ = 0;
                fragmentTold_ = 0;
            }
            Print(batch.Records);
            if (batch.Records.size() < BatchRecords * kind_.RecordSize) {
                Fragment(batch, first);
                return true;
            }
        }
    }

    void Fail(const std::string& why) {
        err_ << path_ << ": cannot be read: " << why << "\n";
        failed_ = true;
    }

    void Banner(bool force) {
        if (output_.Banners && (force || output_.LastPrinted != this))
            out_ << "==> " << path_ << " <==\n";
        output_.LastPrinted = this;
    }

    void Header() {
        headerDone_ = true;
        if (output_.Csv) out_ << kind_.CsvHeader << "\n";
    }

    void Print(const std::string& records) {
        if (records.empty()) return;
        if (!headerDone_) Header();
        Banner(false);
        for (std::size_t at = 0; at < records.size(); at += kind_.RecordSize) {
            const std::string_view record(records.data() + at, kind_.RecordSize);
            if (kind_.ReadLimit != 0 && count_ == kind_.ReadLimit)
                err_ << path_ << ": the records after the " << kind_.ReadLimit
                     << "th are not used by the programs\n";
            ++count_;
            out_ << (output_.Csv ? CsvRow(kind_.CsvFields(record)) : kind_.Line(record)) << "\n";
        }
    }

    // A fragment is told once. While following, a record may be caught half written, so
    // a fragment counts only when the next look finds the file the same.
    void Fragment(const RecordReader::Batch& batch, bool first) {
        const std::uint64_t seen = lastTrailingSize_;
        lastTrailingSize_ = batch.Trailing ? batch.FileSize : 0;
        if (batch.Trailing == 0 || fragmentTold_ == batch.FileSize) return;
        if (!first && seen != batch.FileSize) return;
        fragmentTold_ = batch.FileSize;
        err_ << path_ << ": " << batch.Trailing << " bytes at the end are not a whole record (size "
             << batch.FileSize << " is not a multiple of " << kind_.RecordSize << "); skipped\n";
    }

    std::string path_;
    const KindInfo& kind_;
    RecordReader reader_;
    Output& output_;
    std::ostream& out_;
    std::ostream& err_;
    bool failed_ = false;
    bool headerDone_ = false;
    bool missingTold_ = false;
    std::size_t count_ = 0;
    std::uint64_t lastTrailingSize_ = 0;
    std::uint64_t fragmentTold_ = 0;
};

} // namespace

int RunDump(const DumpOptions& options, std::ostream& out, std::ostream& err,
            const FollowControl& follow) {
    Output output{out, err, options.Csv, options.Files.size() > 1};
    std::vector<std::unique_ptr<FileDump>> dumps;
    for (const DumpFile& file : options.Files) {
        dumps.push_back(std::make_unique<FileDump>(file, output));
        dumps.back()->Start(options.Follow);
        out.flush();
    }
    if (options.Follow) {
        while (!follow.Done()) {
            follow.Wait();
            for (auto& dump : dumps)
                if (!dump->Failed()) dump->Poll();
            out.flush();
        }
    }
    for (const auto& dump : dumps)
        if (dump->Failed()) return 1;
    return 0;
}
