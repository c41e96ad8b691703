#include "dialog/module/conversions.h"

#include <cctype>
#include <cmath>
#include <optional>
#include <vector>

#include "common/numbers.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The first character of a picture that is no format letter: its separator.
char SeparatorOf(std::string_view picture, char fallback) {
    bool quoted = false;
    for (char c : picture) {
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && !std::isalpha(static_cast<unsigned char>(c)) && c != ' ')
            return c;
    }
    return fallback;
}

// Reads up to `maxDigits` digits at `pos`; none read gives no value.
std::optional<int> ReadNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits = 4) {
    std::size_t start = pos;
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos]) && pos - start < maxDigits)
        value = value * 10 + (text[pos++] - '0');
    if (pos == start || (pos < text.size() && IsDigit(text[pos]))) return std::nullopt;
    return value;
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
}

bool ReadSeparator(std::string_view text, std::size_t& pos, char separator) {
    SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == separator) {
        ++pos;
        SkipBlanks(text, pos);
        return true;
    }
    return false;
}

bool StartsWithNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != word[i]) return false;
    return true;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// One run of a picture letter, e.g. "dd", with its length.
struct Token {
    char Letter; // 0 for literal text
    std::size_t Count;
    std::string Literal;
};

std::vector<Token> Tokenize(std::string_view picture) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') {
            std::size_t end = picture.find('\'', i + 1);
            if (end == std::string_view::npos) end = picture.size();
            tokens.push_back({0, 0, std::string(picture.substr(i + 1, end - i - 1))});
            i = end + 1;
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            std::size_t n = 1;
            while (i + n < picture.size() && picture[i + n] == c)
                ++n;
            tokens.push_back({c, n, {}});
            i += n;
        } else {
            tokens.push_back({0, 0, std::string(1, c)});
            ++i;
        }
    }
    return tokens;
}

void AppendNumber(std::string& out, int value, std::size_t width) {
    std::string digits = std::to_string(value);
    while (digits.size() < width)
        digits.insert(digits.begin(), '0');
    out += digits;
}

// An AM/PM marker at pos (true for PM), and the blanks after it.
std::optional<bool> ReadDayHalf(std::string_view text, std::size_t& pos) {
    const std::string_view rest = text.substr(pos);
    if (!StartsWithNoCase(rest, "AM") && !StartsWithNoCase(rest, "PM")) return std::nullopt;
    pos += 2;
    SkipBlanks(text, pos);
    return std::toupper(static_cast<unsigned char>(rest[0])) == 'P';
}

} // namespace

double FloatWithDefault(std::string_view text, double fallback) {
    return ParseDecimalOr(text, fallback);
}

double TimeWithDefault(std::string_view text, double fallback, const TLocaleFormats& formats) {
    const char separator = SeparatorOf(formats.LongTime, ':');
    std::size_t pos = 0;
    SkipBlanks(text, pos);
    // Some locales put the marker first ("tt h:mm:ss").
    std::optional<bool> pm = ReadDayHalf(text, pos);
    const auto hour = ReadNumber(text, pos, 2);
    if (!hour || !ReadSeparator(text, pos, separator)) return fallback;
    const auto minute = ReadNumber(text, pos, 2);
    if (!minute) return fallback;
    int second = 0;
    if (ReadSeparator(text, pos, separator)) {
        const auto s = ReadNumber(text, pos, 2);
        if (!s) return fallback;
        second = *s;
    }
    SkipBlanks(text, pos);
    if (!pm) pm = ReadDayHalf(text, pos);
    int h = *hour;
    if (pm) {
        if (h < 1 || h > 12) return fallback;
        h = h % 12 + (*pm ? 12 : 0);
    }
    if (pos != text.size() || h > 23 || *minute > 59 || second > 59) return fallback;
    return ((h * 60.0 + *minute) * 60.0 + second) / 86400.0;
}

double DateWithDefault(std::string_view text, double fallback, int currentYear,
                       const TLocaleFormats& formats) {
    // The order of day, month and year as the short date format has them.
    std::string order;
    for (const Token& t : Tokenize(formats.ShortDate)) {
        const char letter = t.Letter == 'D' ? 'd' : t.Letter == 'Y' ? 'y' : t.Letter;
        if ((letter == 'd' || letter == 'M' || letter == 'y') &&
            order.find(letter) == std::string::npos)
            order += letter;
    }
    if (order.size() != 3) order = "dMy";
    const char separator = SeparatorOf(formats.ShortDate, '.');

    int numbers[3] = {};
    std::size_t digits[3] = {};
    std::size_t count = 0, pos = 0;
    SkipBlanks(text, pos);
    while (count < 3) {
        const std::size_t start = pos;
        const auto n = ReadNumber(text, pos, 4);
        if (!n) return fallback;
        digits[count] = pos - start;
        numbers[count++] = *n;
        if (!ReadSeparator(text, pos, separator)) break;
    }
    SkipBlanks(text, pos);
    if (pos != text.size() || count < 2) return fallback;

    int day = 0, month = 0, year = currentYear;
    bool yearGiven = false;
    std::size_t next = 0;
    for (char part : order) {
        if (part == 'y' && count == 2) continue; // "day.month" alone: this year
        if (next >= count) break;
        const int value = numbers[next];
        if (part == 'd')
            day = value;
        else if (part == 'M')
            month = value;
        else {
            year = value;
            yearGiven = digits[next] <= 2;
        }
        ++next;
    }
    if (yearGiven) {
        year += currentYear / 100 * 100;
        if (year > currentYear + 49)
            year -= 100;
        else if (year < currentYear - 50)
            year += 100;
    }
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return fallback;
    return static_cast<double>(DaysFromCivil(year, month, day));
}

std::int32_t IdFromEntry(std::string_view entry) {
    const std::size_t colon = entry.find(": ");
    if (entry.empty() || colon == std::string_view::npos) return -1;
    return ParseIntegerOr(entry.substr(0, colon), -1);
}

std::string StampDigits(std::string_view pattern, std::uint32_t number) {
    std::string result(pattern);
    const std::string digits = std::to_string(number);
    for (std::size_t i = 0; i < result.size() && i < digits.size(); ++i)
        result[result.size() - 1 - i] = digits[digits.size() - 1 - i];
    return result;
}

std::string FormatTimeOfDay(double value, const TLocaleFormats& formats) {
    long long ms = 0;
    if (std::isfinite(value) && value > 0) {
        const double fraction = value - std::floor(value);
        ms = std::llround(fraction * MsPerDay) % static_cast<long long>(MsPerDay);
    }
    const int hour = static_cast<int>(ms / 3600000), minute = static_cast<int>(ms / 60000 % 60),
              second = static_cast<int>(ms / 1000 % 60);
    std::string out;
    for (const Token& t : Tokenize(formats.LongTime)) {
        switch (t.Letter) {
        case 0:
            out += t.Literal;
            break;
        case 'H':
            AppendNumber(out, hour, t.Count > 1 ? 2 : 1);
            break;
        case 'h':
            AppendNumber(out, hour % 12 == 0 ? 12 : hour % 12, t.Count > 1 ? 2 : 1);
            break;
        case 'm':
            AppendNumber(out, minute, t.Count > 1 ? 2 : 1);
            break;
        case 's':
            AppendNumber(out, second, t.Count > 1 ? 2 : 1);
            break;
        case 't':
            out += t.Count > 1 ? (hour < 12 ? "AM" : "PM") : (hour < 12 ? "A" : "P");
            break;
        default:
            break;
        }
    }
    return out;
}

std::string FormatDate(double value, const TLocaleFormats& formats) {
    // The day is the whole part, below 0 too: 1 January of year 1 to 31 December 9999.
    const double day = std::trunc(value);
    if (!std::isfinite(value) || day < -693593.0 || day > 2958465.0) return {};
    const DateTimeParts p = DecodeDateTime(day);
    std::string out;
    for (const Token& t : Tokenize(formats.ShortDate)) {
        switch (t.Letter) {
        case 0:
            out += t.Literal;
            break;
        case 'd':
            AppendNumber(out, p.Day, t.Count > 1 ? 2 : 1);
            break;
        case 'M':
            AppendNumber(out, p.Month, t.Count > 1 ? 2 : 1);
            break;
        case 'y':
            if (t.Count <= 2)
                AppendNumber(out, p.Year % 100, t.Count > 1 ? 2 : 1);
            else
                AppendNumber(out, p.Year, 4);
            break;
        default:
            break;
        }
    }
    return out;
}
