#include "tools/dump/record_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// Reads `size` bytes at `offset`; false on an error, a short count at the end of the file.
bool ReadAt(int fd, std::uint64_t offset, std::size_t size, std::string& out) {
    out.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, out.data() + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    return true;
}

RecordReader::Batch Failure(std::string why) {
    RecordReader::Batch b;
    b.State = RecordReader::Status::Failed;
    b.Error = std::move(why);
    return b;
}

} // namespace

RecordReader::RecordReader(std::string path, std::size_t recordSize)
    : path_(std::move(path)), recordSize_(recordSize) {}

RecordReader::Batch RecordReader::Next(std::size_t maxRecords) {
    Batch batch;
    // Open first and judge the file by its descriptor, so that a replacement between the
    // look and the read cannot mix two files.
    const Descriptor fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT) {
            gone_ = known_;
            batch.State = Status::Missing;
            return batch;
        }
        return Failure(std::strerror(errno));
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) return Failure(std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return Failure("not a regular file");

    const auto size = static_cast<std::uint64_t>(st.st_size);
    const auto device = static_cast<std::uint64_t>(st.st_dev);
    const auto inode = static_cast<std::uint64_t>(st.st_ino);
    bool replaced = known_ && (gone_ || device != device_ || inode != inode_ || size < position_);
    if (known_ && !replaced && position_ > 0) {
        std::string again;
        if (!ReadAt(fd.Get(), position_ - recordSize_, recordSize_, again))
            return Failure(std::strerror(errno));
        replaced = again != lastRecord_;
    }
    if (replaced) {
        batch.Restarted = true;
        position_ = 0;
        lastRecord_.clear();
    }
    known_ = true;
    gone_ = false;
    device_ = device;
    inode_ = inode;
    batch.FileSize = size;

    const std::uint64_t whole = (size - position_) / recordSize_;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(whole, maxRecords)) * recordSize_;
    if (!ReadAt(fd.Get(), position_, wanted, batch.Records)) return Failure(std::strerror(errno));
    // Cut while we read: keep what is whole.
    batch.Records.resize(batch.Records.size() - batch.Records.size() % recordSize_);
    position_ += batch.Records.size();
    if (!batch.Records.empty())
        lastRecord_ = batch.Records.substr(batch.Records.size() - recordSize_);
    const std::uint64_t rest = size > position_ ? size - position_ : 0;
    batch.Trailing = rest < recordSize_ ? rest : 0;
    return batch;
}
