#include "dialog/diagram/diagram_settings.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "common/datetime.h"
#include "dialog/module/ini_file.h"

namespace {

// The first character of a picture that is no format letter, quote or blank.
char SeparatorOf(std::string_view picture, char fallback) {
    for (char c : picture)
        if (!std::isalpha(static_cast<unsigned char>(c)) && c != '\'' && c != ' ') return c;
    return fallback;
}

std::string TwoDigits(int value) {
    value %= 100;
    return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

} // namespace

char DateSeparator(const TLocaleFormats& formats) {
    return SeparatorOf(formats.ShortDate, '.');
}

char TimeSeparator(const TLocaleFormats& formats) {
    return SeparatorOf(formats.LongTime, ':');
}

std::string MaskDateText(double date, const TLocaleFormats& formats) {
    if (!std::isfinite(date)) return {};
    const DateTimeParts p = DecodeDateTime(std::trunc(date));
    std::string order;
    for (char c : formats.ShortDate) {
        const char letter = c == 'D' ? 'd' : c == 'Y' ? 'y' : c;
        if ((letter == 'd' || letter == 'M' || letter == 'y') &&
            order.find(letter) == std::string::npos)
            order += letter;
    }
    if (order.size() != 3) order = "dMy";
    std::string out;
    for (char part : order) {
        if (!out.empty()) out += DateSeparator(formats);
        out += TwoDigits(part == 'd' ? p.Day : part == 'M' ? p.Month : p.Year);
    }
    return out;
}

std::string MaskTimeText(double time, const TLocaleFormats& formats) {
    long long seconds = 0;
    if (std::isfinite(time) && time > 0)
        seconds = std::llround((time - std::floor(time)) * 86400.0) % 86400;
    const char sep = TimeSeparator(formats);
    return TwoDigits(static_cast<int>(seconds / 3600)) + sep +
           TwoDigits(static_cast<int>(seconds / 60 % 60)) + sep +
           TwoDigits(static_cast<int>(seconds % 60));
}

TDiagramSettings ReadDiagramSettings(const TIniFile& ini, int currentYear,
                                     const TLocaleFormats& formats) {
    TDiagramSettings s;
    const double fallbackDate = static_cast<double>(DaysFromCivil(2004, 1, 1));
    double date = DateWithDefault(ini.ReadString(DiagramSection, "BeginDate", s.BeginDate), NoValue,
                                  currentYear, formats);
    if (!std::isfinite(date)) date = fallbackDate;
    s.BeginDate = MaskDateText(date, formats);
    const double time =
        TimeWithDefault(ini.ReadString(DiagramSection, "BeginTime", s.BeginTime), 0, formats);
    s.BeginTime = MaskTimeText(time, formats);
    const int length = ini.ReadInteger(DiagramSection, "Length", 0);
    s.Length = length >= 0 && length < WidthCount ? length : 0;
    for (int i = 0; i < SeriesCount; ++i)
        s.Visible[static_cast<std::size_t>(i)] =
            ini.ReadBool(DiagramSection, Series[i].Key, Series[i].Checked);
    return s;
}

void WriteDiagramSettings(TIniFile& ini, const TDiagramSettings& s) {
    ini.WriteString(DiagramSection, "BeginDate", s.BeginDate);
    ini.WriteString(DiagramSection, "BeginTime", s.BeginTime);
    ini.WriteInteger(DiagramSection, "Length", s.Length);
    for (int i = 0; i < SeriesCount; ++i)
        ini.WriteBool(DiagramSection, Series[i].Key, s.Visible[static_cast<std::size_t>(i)]);
}
