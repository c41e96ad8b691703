// The window's sectioned settings file ("Kovrin.ini") on any contents: read, change one
// key, save (with failing file operations and another writer meanwhile), read back; then
// the settings page's and the diagram's keys read, written and read again.
//
// Input: byte 0 = the key changed (bits 0-3, an index into the keys the window writes),
// the section's spelling (bits 4-5: as written, upper case, lower case, or as written
// with no file at all), 40 another writer changes the file before the save, 80 the save's
// file operations fail by the mask in byte 1; byte 2 = most bytes one read delivers (0:
// all); byte 3 = the value's length; byte 4 = the length of the other writer's text, which
// it puts at the file's end; byte 5 = the locale (bits 0-1), afterwards 04 the settings
// page's and 08 the diagram's keys are read, written and read again; then the value, the
// other writer's text and the file's contents.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dialog/diagram/diagram_settings.h"
#include "dialog/mainwindow/settings_model.h"
#include "dialog/module/ini_file.h"
#include "fuzz_support.h"

namespace {

struct TKey {
    const char* Section;
    const char* Key;
};

// Keys the settings page and the diagram write, of every kind of value.
constexpr TKey Keys[16] = {
    {"Main", "Port"},          {"Main", "Interval"},       {"Main", "FailInterval"},
    {"Main", "StatInterval"},  {"Main", "TimeOut"},        {"Main", "DTR"},
    {"Main", "RTS"},           {"Main", "MinBattVoltage"}, {"Main", "MaxBattVoltage"},
    {"Main", "AltTransDiff"},  {"Main", "FormTop"},        {"Diagramm", "BeginDate"},
    {"Diagramm", "BeginTime"}, {"Diagramm", "Length"},     {"Diagramm", "InpV"},
    {"Diagramm", "Charg"},
};

// Short date and long time pictures of a few Windows locales.
const TLocaleFormats Locales[4] = {
    {"dd.MM.yyyy", "H:mm:ss"},
    {"M/d/yyyy", "h:mm:ss tt"},
    {"yyyy-MM-dd", "HH:mm:ss"},
    {"d.M.yyyy", "H.mm.ss"},
};

constexpr char Path[] = "C:\\Kovrin\\Kovrin.ini";

std::string Spelled(std::string_view s, int spelling) {
    std::string out(s);
    for (char& c : out)
        if (spelling == 1)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        else if (spelling == 2)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A value that reads back as it is written: one line, nothing the reader trims, not
// enclosed in a pair of quotes (which the reader takes off).
bool Plain(std::string_view v) {
    if (v.find_first_of("\r\n") != std::string_view::npos) return false;
    if (!v.empty() &&
        (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t'))
        return false;
    return !(v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front());
}

// `after` is `before` with the text of at most one line replaced and whole lines put in
// at that place: every other line survives byte for byte. The replaced line is the key's.
void CheckOtherLinesKept(const std::string& before, const std::string& after,
                         std::string_view key) {
    std::size_t p = 0;
    while (p < before.size() && p < after.size() && before[p] == after[p])
        ++p;
    std::size_t s = 0;
    while (s < before.size() - p && s < after.size() - p &&
           before[before.size() - 1 - s] == after[after.size() - 1 - s])
        ++s;
    const std::string_view removed = std::string_view(before).substr(p, before.size() - p - s);
    const std::string_view added = std::string_view(after).substr(p, after.size() - p - s);
    FUZZ_CHECK(removed.find('\n') == std::string_view::npos);
    // A line end for an unfinished last line, a blank line, a section header, the entry.
    FUZZ_CHECK(std::count(added.begin(), added.end(), '\n') <= 4);
    if (removed.empty()) return;
    const std::size_t begin =
        before.rfind('\n', p) == std::string::npos ? 0 : before.rfind('\n', p) + 1;
    std::string_view line = std::string_view(before).substr(begin);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    FUZZ_CHECK(SameText(line.substr(0, key.size()), key));
    line.remove_prefix(std::min(key.size(), line.size()));
    // (A key ends at the last character before "=" that is no blank, tab or CR.)
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t' || line.front() == '\r'))
        line.remove_prefix(1);
    FUZZ_CHECK(!line.empty() && line.front() == '=');
}

bool SameSettings(const TMonitorSettings& a, const TMonitorSettings& b) {
    const auto near = [](float x, float y) {
        return std::fabs(x - y) <= 0.05f + std::fabs(x) * 1e-6f;
    };
    return a.FormTop == b.FormTop && a.FormLeft == b.FormLeft && a.Interval == b.Interval &&
           a.FailInterval == b.FailInterval && a.StatInterval == b.StatInterval &&
           a.TimeOut == b.TimeOut && a.Dtr == b.Dtr && a.Rts == b.Rts &&
           a.AltTransDiff == b.AltTransDiff && near(a.MinBattVoltage, b.MinBattVoltage) &&
           near(a.MaxBattVoltage, b.MaxBattVoltage);
}

void CheckSettings(const TMonitorSettings& m) {
    FUZZ_CHECK(m.TimeOut >= 1000 && m.Interval >= 500 && m.FailInterval >= 500);
    FUZZ_CHECK(m.StatInterval >= m.Interval);
    FUZZ_CHECK(std::isfinite(m.MinBattVoltage) && std::isfinite(m.MaxBattVoltage));
}

// What the diagram reads is what its fields can hold.
void CheckDiagram(const TDiagramSettings& d, const TLocaleFormats& locale) {
    FUZZ_CHECK(d.Length >= 0 && d.Length < WidthCount);
    FUZZ_CHECK(d.BeginDate.size() == 8 && d.BeginTime.size() == 8);
    FUZZ_CHECK(std::isfinite(DateWithDefault(d.BeginDate, NAN, 2026, locale)));
    FUZZ_CHECK(TimeWithDefault(d.BeginTime, -1, locale) >= 0);
}

std::string Content(const fuzz::MemoryFiles& files) {
    const std::string* c = files.Content(Path);
    return c ? *c : std::string();
}

// The settings page's keys, written at the window's destruction and read at the next
// opening, come back as they were.
void CheckSettingsRoundTrip(fuzz::MemoryFiles& files) {
    TIniFile first(files, Path);
    const TMonitorSettings m = ReadMonitorSettings(first);
    CheckSettings(m);
    WriteMonitorSettings(first, m, m.AltTransDiff != 0, TWriteScope::Destruction);
    FUZZ_CHECK(first.Save());
    TIniFile second(files, Path);
    const TMonitorSettings m2 = ReadMonitorSettings(second);
    // The battery limits are stored with one decimal, and move no further from then on.
    FUZZ_CHECK(SameSettings(m, m2));
    FUZZ_CHECK(ParseVoltage(StoredVoltage(m2.MinBattVoltage)) == m2.MinBattVoltage);
    FUZZ_CHECK(ParseVoltage(StoredVoltage(m2.MaxBattVoltage)) == m2.MaxBattVoltage);
    if (Plain(m.Port)) FUZZ_CHECK(m2.Port == m.Port);
}

// The diagram's keys the same way.
void CheckDiagramRoundTrip(fuzz::MemoryFiles& files, const TLocaleFormats& locale) {
    TIniFile first(files, Path);
    const TDiagramSettings d = ReadDiagramSettings(first, 2026, locale);
    CheckDiagram(d, locale);
    WriteDiagramSettings(first, d);
    FUZZ_CHECK(first.Save());
    TIniFile second(files, Path);
    const TDiagramSettings d2 = ReadDiagramSettings(second, 2026, locale);
    FUZZ_CHECK(d2.BeginDate == d.BeginDate && d2.BeginTime == d.BeginTime);
    FUZZ_CHECK(d2.Length == d.Length && d2.Visible == d.Visible);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const std::uint8_t flags = in.Byte();
    const std::uint8_t mask = in.Byte();
    const std::size_t chunk = in.Byte();
    const std::size_t valueLength = in.Byte();
    const std::size_t otherLength = in.Byte();
    const std::uint8_t settings = in.Byte();
    const TLocaleFormats& locale = Locales[settings % 4];
    const std::string value = in.Bytes(valueLength);
    const std::string other = in.Bytes(otherLength);
    const std::string content = in.Rest();

    const TKey& target = Keys[flags % 16];
    const int spelling = flags >> 4 & 3;
    const std::string section = Spelled(target.Section, spelling);
    const std::string key = target.Key;

    fuzz::MemoryFiles files;
    files.readChunk = chunk;
    if (spelling != 3) files.files[Path] = std::make_shared<std::string>(content);

    TIniFile ini(files, Path);
    ini.WriteString(section, key, value);
    if (Plain(value)) FUZZ_CHECK(ini.ReadString(target.Section, key, "") == value);

    if (flags & 0x40) {
        // Another window saved meanwhile.
        if (!files.files.count(Path)) files.files[Path] = std::make_shared<std::string>();
        *files.files[Path] += other;
    }
    const std::string before = Content(files);
    const bool existed = files.Exists(Path);

    files.operations = 0;
    files.failMask = flags & 0x80 ? mask : 0;
    if (!ini.Save()) {
        // Nothing written; the write waits for the next save.
        FUZZ_CHECK(files.Exists(Path) == existed && Content(files) == before);
        FUZZ_CHECK(ini.HasPendingWrites());
        files.failMask = 0;
        FUZZ_CHECK(ini.Save());
    }
    files.failMask = 0;
    FUZZ_CHECK(!ini.HasPendingWrites());
    FUZZ_CHECK(!files.Exists(std::string(Path) + ".tmp"));
    const std::string after = Content(files);
    CheckOtherLinesKept(before, after, key);

    // Read back from the file: the key as written, every other key as it was.
    TIniFile back(files, Path);
    const std::string absent = "\x01";
    if (Plain(value)) FUZZ_CHECK(back.ReadString(target.Section, key, absent) == value);
    // (The keys beside it in its section and one of the other section: the lines are
    // checked above, this checks what they mean.)
    for (const int step : {1, 8, 15}) {
        const TKey& k = Keys[(flags + step) % 16];
        FUZZ_CHECK(back.ReadString(k.Section, k.Key, absent) ==
                   TIniFile::Lookup(before, k.Section, k.Key, absent));
    }

    // Small files only: a round trip reads and writes every key several times over.
    files.readChunk = 0;
    if ((settings & 4) && after.size() <= 1024) CheckSettingsRoundTrip(files);
    if ((settings & 8) && after.size() <= 1024) CheckDiagramRoundTrip(files, locale);
    return 0;
}
