#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Files as the monitor and the dialog library use them. The Windows sharing modes
// matter (the dialog reads the statistics while the monitor appends, and deletes the
// journal), so the Win32 build opens files with CreateFileA; the native build maps the
// same calls onto POSIX for the unit tests.

enum class FileOpen {
    ReadExisting,      // read only; fails when the file is missing
    ReadWriteExisting, // fails when the file is missing
    CreateAlways,      // read and write; an existing file is emptied
    OpenAlways,        // read and write; created when missing
};

enum class FileShare {
    None,
    Read,
    ReadWrite,
    ReadWriteDelete,
};

class IFile {
public:
    virtual ~IFile() = default;
    // Both report the platform call's success; `done` is the count it reported.
    virtual bool Read(void* buffer, std::size_t size, std::size_t& done) = 0;
    virtual bool Write(const void* data, std::size_t size, std::size_t& done) = 0;
    virtual bool Seek(std::int64_t position) = 0; // from the start
    virtual bool SeekEnd() = 0;
    virtual std::int64_t Position() = 0; // -1 on error
    virtual std::int64_t Size() = 0;     // -1 on error
    virtual bool Truncate() = 0;         // cut the file at the current position
    virtual bool Flush() = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // Null when the file cannot be opened; LastError() then tells why.
    virtual std::unique_ptr<IFile> Open(const std::string& path, FileOpen mode,
                                        FileShare share) = 0;
    virtual bool Exists(const std::string& path) = 0; // a file, not a directory
    virtual bool Remove(const std::string& path) = 0;
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Gives `from` the name `to`, replacing an existing `to` in one step where the system
    // can (so that a reader finds either the old file or the new one, never none).
    virtual bool Replace(const std::string& from, const std::string& to) {
        return (!Exists(to) || Remove(to)) && Rename(from, to);
    }
    virtual std::uint32_t LastError() = 0;
};

// The process's real file system.
IFileSystem& SystemFiles();

// Whole-file helpers on top of IFileSystem.
bool ReadWholeFile(IFileSystem& fs, const std::string& path, std::string& out);
// Creates or empties the file and writes the bytes, flushed to the disk before it is closed.
bool WriteWholeFile(IFileSystem& fs, const std::string& path, const void* data, std::size_t size);
// Gives the file new contents without ever leaving it half-written: the bytes go to
// path + ".tmp", flushed to the disk, which then replaces the file in one step. When any
// step fails the old file stays whole and the temporary one is removed. (A rename only
// orders the directory: a power failure after an unflushed rename can bring the file back
// empty, which is why the flush comes first.)
bool ReplaceFileContents(IFileSystem& fs, const std::string& path, const void* data,
                         std::size_t size);
