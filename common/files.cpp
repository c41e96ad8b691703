#include "common/files.h"

bool ReadWholeFile(IFileSystem& fs, const std::string& path, std::string& out) {
    out.clear();
    auto f = fs.Open(path, FileOpen::ReadExisting, FileShare::ReadWrite);
    if (!f) return false;
    char buf[65536];
    for (;;) {
        std::size_t got = 0;
        if (!f->Read(buf, sizeof buf, got)) return false;
        if (got == 0) return true;
        out.append(buf, got);
    }
}

bool WriteWholeFile(IFileSystem& fs, const std::string& path, const void* data, std::size_t size) {
    auto f = fs.Open(path, FileOpen::CreateAlways, FileShare::None);
    if (!f) return false;
    std::size_t done = 0;
    return f->Write(data, size, done) && done == size && f->Flush();
}

bool ReplaceFileContents(IFileSystem& fs, const std::string& path, const void* data,
                         std::size_t size) {
    const std::string temporary = path + ".tmp";
    if (WriteWholeFile(fs, temporary, data, size) && fs.Replace(temporary, path)) return true;
    fs.Remove(temporary);
    return false;
}
