#include "dialog/module/ini_file.h"

#include <cctype>
#include <string>

#include "common/files.h"
#include "common/numbers.h"

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// One line of the file: where it starts, its text without the line end, and where the
// next one starts.
struct Line {
    std::size_t Begin, End, Next;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        const std::size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        if (end > pos && text[end - 1] == '\r') --end;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

// The section a line opens, if it is a header.
bool SectionName(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}

// The key of a "key=value" line.
bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';') return false;
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

// A line end inside a value would start a line of its own.
std::string OneLine(std::string_view value) {
    std::string v(value);
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    return v;
}

} // namespace

TIniFile::TIniFile(IFileSystem& files, std::string path) : files_(files), path_(std::move(path)) {
    Load();
}

bool TIniFile::Load() {
    std::string text;
    if (!files_.Exists(path_)) {
        text_.clear();
    } else if (!ReadWholeFile(files_, path_, text)) {
        return false;
    } else {
        text_ = std::move(text);
    }
    for (const Write& w : pending_)
        text_ = Apply(text_, w.Section, w.Key, w.Value);
    return true;
}

std::string TIniFile::Lookup(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view fallback) {
    bool inSection = false;
    for (const Line& line : SplitLines(text)) {
        const std::string_view s = text.substr(line.Begin, line.End - line.Begin);
        std::string_view name, k, v;
        if (SectionName(s, name)) {
            inSection = SameText(name, section);
        } else if (inSection && KeyOf(s, k, v) && SameText(k, key)) {
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return std::string(v);
        }
    }
    return std::string(fallback);
}

std::string TIniFile::Apply(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
    const std::string entry = std::string(key) + "=" + OneLine(value);
    const std::vector<Line> lines = SplitLines(text);
    std::size_t header = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (SectionName(text.substr(lines[i].Begin, lines[i].End - lines[i].Begin), name) &&
            SameText(name, section)) {
            header = i;
            break;
        }
    }
    std::string out;
    if (header == lines.size()) {
        out = text;
        if (!out.empty() && out.back() != '\n') out += out.back() == '\r' ? "\n" : "\r\n";
        if (!out.empty()) out += "\r\n";
        out += "[" + std::string(section) + "]\r\n" + entry + "\r\n";
        return out;
    }
    // Within the section: the key's line is rewritten in place, or a new line goes after
    // the section's last line that is not blank.
    std::size_t lastFilled = header;
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        const std::string_view s = text.substr(lines[i].Begin, lines[i].End - lines[i].Begin);
        std::string_view name, k, v;
        if (SectionName(s, name)) break;
        if (KeyOf(s, k, v) && SameText(k, key)) {
            out = std::string(text.substr(0, lines[i].Begin)) + entry;
            out += text.substr(lines[i].End);
            return out;
        }
        if (!Trim(s).empty()) lastFilled = i;
    }
    const Line& after = lines[lastFilled];
    out = std::string(text.substr(0, after.Next));
    // The file's last line had no line end (or a lone CR): it gets one, never loses its own.
    const char last = after.Next > 0 ? text[after.Next - 1] : '\n';
    if (last != '\n') out += last == '\r' ? "\n" : "\r\n";
    out += entry + "\r\n";
    out += text.substr(after.Next);
    return out;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
    return Lookup(text_, section, key, fallback);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t fallback) const {
    return ParseIntegerOr(ReadString(section, key, ""), fallback);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    pending_.push_back({std::string(section), std::string(key), std::string(value)});
    text_ = Apply(text_, section, key, value);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int64_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::Save() {
    if (pending_.empty()) return true;
    std::string text;
    if (files_.Exists(path_) && !ReadWholeFile(files_, path_, text)) return false;
    for (const Write& w : pending_)
        text = Apply(text, w.Section, w.Key, w.Value);
    if (!ReplaceFileContents(files_, path_, text.data(), text.size())) return false;
    text_ = std::move(text);
    pending_.clear();
    return true;
}
