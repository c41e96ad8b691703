#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/files.h"

namespace {

thread_local std::uint32_t lastError = 0;

class PosixFile final : public IFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }

    bool Read(void* buffer, std::size_t size, std::size_t& done) override {
        done = 0;
        const ssize_t n = ::read(fd_, buffer, size);
        if (n < 0) return Fail();
        done = static_cast<std::size_t>(n);
        return true;
    }
    bool Write(const void* data, std::size_t size, std::size_t& done) override {
        done = 0;
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) return Fail();
        done = static_cast<std::size_t>(n);
        return true;
    }
    bool Seek(std::int64_t position) override {
        return ::lseek(fd_, static_cast<off_t>(position), SEEK_SET) >= 0 || Fail();
    }
    bool SeekEnd() override { return ::lseek(fd_, 0, SEEK_END) >= 0 || Fail(); }
    std::int64_t Position() override { return ::lseek(fd_, 0, SEEK_CUR); }
    std::int64_t Size() override {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
    }
    bool Truncate() override {
        const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
        return (pos >= 0 && ::ftruncate(fd_, pos) == 0) || Fail();
    }
    bool Flush() override { return ::fsync(fd_) == 0 || errno == EINVAL || Fail(); }

private:
    static bool Fail() {
        lastError = static_cast<std::uint32_t>(errno);
        return false;
    }
    int fd_;
};

// Sharing modes have no POSIX counterpart; the native build serves the unit tests only.
class PosixFileSystem final : public IFileSystem {
public:
    std::unique_ptr<IFile> Open(const std::string& path, FileOpen mode, FileShare) override {
        int flags = O_CLOEXEC;
        switch (mode) {
        case FileOpen::ReadExisting:
            flags |= O_RDONLY;
            break;
        case FileOpen::ReadWriteExisting:
            flags |= O_RDWR;
            break;
        case FileOpen::CreateAlways:
            flags |= O_RDWR | O_CREAT | O_TRUNC;
            break;
        case FileOpen::OpenAlways:
            flags |= O_RDWR | O_CREAT;
            break;
        }
        const int fd = ::open(path.c_str(), flags, 0644);
        if (fd < 0) {
            lastError = static_cast<std::uint32_t>(errno);
            return nullptr;
        }
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            lastError = EISDIR;
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd);
    }
    bool Exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
    bool Rename(const std::string& from, const std::string& to) override {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return std::rename(from.c_str(), to.c_str()) == 0; // atomic on POSIX
    }
    std::uint32_t LastError() override { return lastError; }
};

} // namespace

IFileSystem& SystemFiles() {
    static PosixFileSystem fs;
    return fs;
}
