// The settings reader on any file contents with any key, and the settings load of the
// monitor over such a file.
//
// Input: byte 0 = key length (bits 0-4) and a key of the settings also looked up (bits
// 5-7), byte 1 = most bytes one file read delivers (0: all), then the key, then the
// file's contents. The settings load reads every key in any case.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "monitor/app/ini_reader.h"
#include "monitor/app/mon_app.h"
#include "monitor/link/serial_port.h"

namespace {

class NoPort final : public ISerialPort {
public:
    bool Open(const std::string&) override { return false; }
    void Close() override {}
    bool SetReadIntervalTimeout(std::uint32_t) override { return false; }
    bool GetLineConfig(LineConfig&) override { return false; }
    bool SetLineConfig(const LineConfig&) override { return false; }
    bool SetDTR(bool) override { return false; }
    bool SetRTS(bool) override { return false; }
    bool QueryStatus(std::uint32_t&, std::uint32_t&) override { return false; }
    bool Read(void*, std::uint32_t, std::uint32_t& got) override {
        got = 0;
        return false;
    }
    bool Write(const void*, std::uint32_t, std::uint32_t& done) override {
        done = 0;
        return false;
    }
    std::uint32_t LastError() override { return 2; }
};

bool IsSeparator(char c) {
    return c == '\0' || c == '\t' || c == ' ' || c == '=';
}

// The settings file's lines: ended by CR LF, a lone CR or a lone LF.
std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < content.size()) {
        const std::size_t end = content.find_first_of("\r\n", i);
        if (end == std::string::npos) {
            lines.push_back(content.substr(i));
            break;
        }
        lines.push_back(content.substr(i, end - i));
        i = end + (content.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The reading of one key step by step as the settings file's format describes it. Empty
// where the reader may choose: a line longer than 255 characters, a quoted value that the
// file never closes, or one that grows past 255 characters.
std::optional<std::string> ReferenceValue(const std::string& content, const std::string& keyName) {
    const std::vector<std::string> lines = Lines(content);
    for (const std::string& l : lines)
        if (l.size() > 255) return std::nullopt;
    std::string key = keyName;
    for (char& c : key)
        c = Upper(c);
    std::size_t at = 0;
    std::string value;
    bool found = false;
    for (; at < lines.size() && !found; ++at) {
        std::string line = lines[at];
        std::size_t start = 0;
        while (start < line.size() && IsSeparator(line[start]))
            ++start;
        line = line.substr(start);
        line = line.substr(0, line.find(';'));
        if (line.empty()) continue;
        for (char& c : line) {
            const bool separator = IsSeparator(c);
            c = Upper(c);
            if (separator) break;
        }
        if (line.compare(0, key.size(), key) != 0) continue;
        std::size_t pos = key.size();
        while (pos < line.size() && IsSeparator(line[pos]))
            ++pos;
        value = line.substr(pos);
        found = true;
    }
    while (!value.empty() && IsSeparator(value.back()))
        value.pop_back();
    if (value.empty() || value[0] != '"') return value;
    // A lone quote both begins and ends the value.
    bool closed = value.back() == '"';
    for (; !closed && at < lines.size(); ++at) {
        const std::size_t quote = lines[at].find('"');
        value += "\r\n" + lines[at].substr(0, quote == std::string::npos ? quote : quote + 1);
        closed = quote != std::string::npos;
    }
    if (!closed) return std::nullopt;
    if (value.size() > 255) return std::nullopt;
    return value.size() < 2 ? std::string() : value.substr(1, value.size() - 2);
}

// The keys whose values take the most shapes; the settings load reads them all anyway.
const char* const SettingKeys[] = {"Port",         "Interval",       "FailInterval",
                                   "StatInterval", "MinBattVoltage", "MaxBattVoltage",
                                   "AltTransDiff", "DevLog"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const std::uint8_t first = in.Byte();
    const std::size_t keyLength = first % 32;
    const std::size_t chunk = in.Byte();
    std::string key = in.Bytes(keyLength);
    const std::string content = in.Rest();

    std::size_t lineBreaks = 0;
    for (char c : content)
        lineBreaks += c == '\r' || c == '\n';

    // Read from memory, and from a file delivered in short pieces: the same answer.
    NoPort port;
    fuzz::Platform p(port);
    const std::string iniPath = std::string(fuzz::ProgramDir) + "Kovrin.ini";
    p.files.files[iniPath] = std::make_shared<std::string>(content);
    p.files.readChunk = chunk;

    const auto check = [&](const std::string& k) {
        const std::string value = FindIniValue(content, k);
        // Every CR LF inserted between the lines of a quoted value stands for a line break.
        FUZZ_CHECK(value.size() <= content.size() + lineBreaks);
        FUZZ_CHECK(value.size() <= 255);
        FUZZ_CHECK(ReadIniValue(p.files, iniPath, k) == value);
        if (const auto expected = ReferenceValue(content, k)) FUZZ_CHECK(value == *expected);
        if (!value.empty() && content.find('"') == std::string::npos) {
            // An unquoted value is one line, trimmed of separators at its end.
            FUZZ_CHECK(value.find('\r') == std::string::npos &&
                       value.find('\n') == std::string::npos);
            FUZZ_CHECK(!IsSeparator(value.back()));
            FUZZ_CHECK(value.find(';') == std::string::npos);
        }
    };
    check(key);
    check(SettingKeys[first >> 5]);

    // The settings as the monitor applies them: always within their limits.
    p.files.readChunk = 0;
    {
        TMonApp app(p.platform);
        app.LoadSettings();
        FUZZ_CHECK(app.Interval() >= 500);
        FUZZ_CHECK(app.FailInterval() >= 500);
        FUZZ_CHECK(app.StatInterval() <= 0 || app.StatInterval() >= app.Interval());
        const float lo = app.MinBattVoltage(), hi = app.MaxBattVoltage();
        FUZZ_CHECK(std::isfinite(lo) && std::isfinite(hi));
        FUZZ_CHECK((lo == 0 && hi == 0) || hi > lo);
        FUZZ_CHECK(!app.Port().empty());
        const std::string& devLog = app.DevLogPath();
        if (!devLog.empty()) {
            FUZZ_CHECK(static_cast<unsigned char>(devLog.back()) > ' ');
            FUZZ_CHECK(devLog.find('\\') != std::string::npos);
        }
        FUZZ_CHECK(!app.Opened());
    }
    return 0;
}
