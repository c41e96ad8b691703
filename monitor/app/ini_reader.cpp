#include "monitor/app/ini_reader.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "common/files.h"

namespace {

// A line holds at most this many characters; the rest of a longer line is skipped, and a
// value collected over several lines is bounded the same way.
constexpr std::size_t MaxLine = 255;

bool IsSeparator(char c) {
    return c == '\0' || c == '\t' || c == ' ' || c == '=';
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Lines of a byte stream, ended by CR LF, a lone LF or a lone CR. Reads in blocks, so a huge
// file costs no more memory than one block and one line.
class LineReader {
public:
    // Fills the buffer and returns the count; 0 at the end (or on a read error).
    using Source = std::function<std::size_t(char*, std::size_t)>;
    explicit LineReader(Source source) : source_(std::move(source)) {}

    bool Next(std::string& line) {
        line.clear();
        int c = Get();
        if (c < 0) return false;
        while (c >= 0 && c != '\r' && c != '\n') {
            if (line.size() < MaxLine) line.push_back(static_cast<char>(c));
            c = Get();
        }
        if (c == '\r' && Peek() == '\n') Get();
        return true;
    }

private:
    int Peek() {
        if (pos_ == end_ && !Refill()) return -1;
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    int Get() {
        const int c = Peek();
        if (c >= 0) ++pos_;
        return c;
    }
    bool Refill() {
        if (finished_) return false;
        pos_ = 0;
        end_ = source_(buffer_, sizeof buffer_);
        if (end_ == 0) finished_ = true;
        return end_ > 0;
    }

    Source source_;
    char buffer_[4096];
    std::size_t pos_ = 0, end_ = 0;
    bool finished_ = false;
};

void TrimTrailingSeparators(std::string& s) {
    while (!s.empty() && IsSeparator(s.back()))
        s.pop_back();
}

// The value of the line if it carries the key (upper-cased), or nothing.
bool MatchLine(std::string line, const std::string& key, std::string& value) {
    std::size_t start = 0;
    while (start < line.size() && IsSeparator(line[start]))
        ++start;
    line.erase(0, start);
    // A comment runs from the first ";" to the end, quotes or not.
    if (const auto semicolon = line.find(';'); semicolon != std::string::npos)
        line.resize(semicolon);
    if (line.empty()) return false;
    for (char& c : line) {
        const bool separator = IsSeparator(c);
        c = AsciiUpper(c);
        if (separator) break;
    }
    if (line.compare(0, key.size(), key) != 0) return false;
    std::size_t pos = key.size();
    while (pos < line.size() && IsSeparator(line[pos]))
        ++pos;
    value = line.substr(pos);
    return true;
}

std::string Scan(LineReader& lines, std::string_view keyName) {
    std::string key(keyName);
    for (char& c : key)
        c = AsciiUpper(c);

    std::string line, value;
    bool found = false;
    while (!found && lines.Next(line))
        found = MatchLine(line, key, value);
    if (!found) return {};

    TrimTrailingSeparators(value);
    if (value.empty() || value.front() != '"') return value;
    if (value.size() == 1) return {}; // a lone quote opens and closes at once

    // A quoted value runs on over the following lines up to the line that closes it. The
    // closing quote is dropped only if it was read: a file that ends inside the quotes, or
    // a value cut at its maximum length, keeps everything collected after the opening one.
    bool closed = value.back() == '"';
    while (!closed && lines.Next(line)) {
        const auto quote = line.find('"');
        const std::string piece =
            "\r\n" + (quote == std::string::npos ? line : line.substr(0, quote + 1));
        const std::size_t room = MaxLine - std::min(MaxLine, value.size());
        value += piece.substr(0, room);
        if (quote != std::string::npos) {
            closed = piece.size() <= room;
            break;
        }
    }
    return value.substr(1, value.size() - (closed ? 2 : 1));
}

} // namespace

std::string ReadIniValue(IFileSystem& files, const std::string& path, std::string_view key) {
    // Shared both ways: the dialog library may be writing the file at this moment.
    std::unique_ptr<IFile> file = files.Open(path, FileOpen::ReadExisting, FileShare::ReadWrite);
    if (!file) return {};
    LineReader lines([&file](char* buffer, std::size_t size) -> std::size_t {
        std::size_t done = 0;
        return file->Read(buffer, size, done) ? done : 0;
    });
    return Scan(lines, key);
}

std::string FindIniValue(std::string_view content, std::string_view key) {
    LineReader lines([&content](char* buffer, std::size_t size) -> std::size_t {
        const std::size_t n = std::min(size, content.size());
        content.copy(buffer, n);
        content.remove_prefix(n);
        return n;
    });
    return Scan(lines, key);
}
