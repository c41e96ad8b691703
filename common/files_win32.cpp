#include <windows.h>

#include "common/files.h"

namespace {

class Win32File final : public IFile {
public:
    explicit Win32File(HANDLE h) : h_(h) {}
    ~Win32File() override { CloseHandle(h_); }

    bool Read(void* buffer, std::size_t size, std::size_t& done) override {
        DWORD n = 0;
        const BOOL ok = ReadFile(h_, buffer, static_cast<DWORD>(size), &n, nullptr);
        done = n;
        return ok != FALSE;
    }
    bool Write(const void* data, std::size_t size, std::size_t& done) override {
        DWORD n = 0;
        const BOOL ok = WriteFile(h_, data, static_cast<DWORD>(size), &n, nullptr);
        done = n;
        return ok != FALSE;
    }
    bool Seek(std::int64_t position) override {
        LARGE_INTEGER li;
        li.QuadPart = position;
        return SetFilePointerEx(h_, li, nullptr, FILE_BEGIN) != FALSE;
    }
    bool SeekEnd() override {
        LARGE_INTEGER zero{};
        return SetFilePointerEx(h_, zero, nullptr, FILE_END) != FALSE;
    }
    std::int64_t Position() override {
        LARGE_INTEGER zero{}, pos{};
        return SetFilePointerEx(h_, zero, &pos, FILE_CURRENT) ? pos.QuadPart : -1;
    }
    std::int64_t Size() override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(h_, &size) ? size.QuadPart : -1;
    }
    bool Truncate() override { return SetEndOfFile(h_) != FALSE; }
    bool Flush() override { return FlushFileBuffers(h_) != FALSE; }

private:
    HANDLE h_;
};

class Win32FileSystem final : public IFileSystem {
public:
    std::unique_ptr<IFile> Open(const std::string& path, FileOpen mode, FileShare share) override {
        DWORD access = GENERIC_READ | GENERIC_WRITE;
        DWORD disposition = OPEN_EXISTING;
        switch (mode) {
        case FileOpen::ReadExisting:
            access = GENERIC_READ;
            break;
        case FileOpen::ReadWriteExisting:
            break;
        case FileOpen::CreateAlways:
            disposition = CREATE_ALWAYS;
            break;
        case FileOpen::OpenAlways:
            disposition = OPEN_ALWAYS;
            break;
        }
        DWORD shareMode = 0;
        switch (share) {
        case FileShare::None:
            break;
        case FileShare::Read:
            shareMode = FILE_SHARE_READ;
            break;
        case FileShare::ReadWrite:
            shareMode = FILE_SHARE_READ | FILE_SHARE_WRITE;
            break;
        case FileShare::ReadWriteDelete:
            shareMode = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
            break;
        }
        HANDLE h = CreateFileA(path.c_str(), access, shareMode, nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32File>(h);
    }
    bool Exists(const std::string& path) override {
        const DWORD attr = GetFileAttributesA(path.c_str());
        return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()) != FALSE; }
    bool Rename(const std::string& from, const std::string& to) override {
        return MoveFileA(from.c_str(), to.c_str()) != FALSE;
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    std::uint32_t LastError() override { return GetLastError(); }
};

} // namespace

IFileSystem& SystemFiles() {
    static Win32FileSystem fs;
    return fs;
}
