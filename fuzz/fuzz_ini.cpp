// The settings reader on any file contents with any key, and the settings load of the
// monitor over such a file.
//
// Input: byte 0 = key length (mod 32), byte 1 = most bytes one file read delivers
// (0: all), then the key, then the file's contents.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

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

const char* const SettingKeys[] = {"Port",           "DTR",          "RTS",     "Interval",
                                   "FailInterval",   "StatInterval", "TimeOut", "MinBattVoltage",
                                   "MaxBattVoltage", "AltTransDiff", "DevLog"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const std::size_t keyLength = in.Byte() % 32;
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
        if (!value.empty() && content.find('"') == std::string::npos) {
            // An unquoted value is one line, trimmed of separators at its end.
            FUZZ_CHECK(value.find('\r') == std::string::npos &&
                       value.find('\n') == std::string::npos);
            FUZZ_CHECK(!IsSeparator(value.back()));
            FUZZ_CHECK(value.find(';') == std::string::npos);
        }
    };
    check(key);
    for (const char* k : SettingKeys)
        check(k);

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
