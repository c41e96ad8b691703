// Message macros and threshold expressions on any text a rule can hold (up to 255 bytes)
// and any status bytes, NaN, infinities and a garbled load of 255 included.
//
// Input: the previous status (44 bytes), the current status (44 bytes), one byte whose
// bits put a special value into the current status's fields (bit i: float i, bit 6 the
// time on battery, bit 7 the load = 255), one byte choosing the special value, then the
// text.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "common/numbers.h"
#include "common/records.h"
#include "fuzz_support.h"
#include "monitor/events/expressions.h"

namespace {

constexpr std::string_view MacroNames[] = {"$INPUT", "$OUTPUT", "$BATT",   "$FAIL",   "$FREQ",
                                           "$TERM",  "$LOAD",   "$CHARGE", "$ACFTIME"};

// Longer than any value text: a float's 39 digits with sign and decimals, or a time.
constexpr std::size_t MaxValueText = 64;

template <typename T> T Special(std::uint8_t which) {
    using L = std::numeric_limits<T>;
    const T values[] = {L::quiet_NaN(),
                        L::infinity(),
                        -L::infinity(),
                        L::max(),
                        -L::max(),
                        L::denorm_min(),
                        static_cast<T>(-1),
                        static_cast<T>(-0.0),
                        static_cast<T>(229.96),
                        static_cast<T>(0.00347)};
    return values[which % std::size(values)];
}

// The macros replaced as described: each in the table's order, the leftmost occurrence
// again and again from the start, until none is left.
std::string ReferenceMacros(std::string text, const TUpsStatus& s, IClock& clock) {
    const std::string values[] = {
        FormatFixed(s.InputVoltage, 1),   FormatFixed(s.OutputVoltage, 1),
        FormatFixed(s.BatteryVoltage, 2), FormatFixed(s.InputFaultVoltage, 1),
        FormatFixed(s.InputFrequency, 1), FormatFixed(s.Temperature, 1),
        std::to_string(unsigned{s.Load}), std::to_string(unsigned{s.BatteryCharge}),
        clock.LongTime(s.BatteryTime)};
    for (std::size_t m = 0; m < std::size(MacroNames); ++m)
        for (std::size_t at; (at = text.find(MacroNames[m])) != std::string::npos;)
            text.replace(at, MacroNames[m].size(), values[m]);
    return text;
}

// "variable operator number" read word by word as described, for comparison.
bool ReferenceExpression(std::string_view text, const TUpsStatus& before, const TUpsStatus& now) {
    if (text.empty()) return false;
    const auto values = [](const TUpsStatus& s) {
        const double time = s.BatteryTime;
        const float acf = std::isnan(time)                            ? NAN
                          : time > std::numeric_limits<float>::max()  ? INFINITY
                          : time < -std::numeric_limits<float>::max() ? -INFINITY
                                                                      : static_cast<float>(time);
        return std::array<float, 9>{s.InputVoltage,
                                    s.OutputVoltage,
                                    s.BatteryVoltage,
                                    s.InputFaultVoltage,
                                    s.InputFrequency,
                                    static_cast<float>(s.Load),
                                    s.Temperature,
                                    static_cast<float>(s.BatteryCharge),
                                    acf};
    };
    constexpr std::string_view names[] = {"%INPUT", "%OUTPUT", "%BATT",   "%FAIL",   "%FREQ",
                                          "%LOAD",  "%TERM",   "%CHARGE", "%ACFTIME"};
    float a = 0, b = 0;
    for (std::size_t i = 0; i < std::size(names); ++i)
        if (text.substr(0, names[i].size()) == names[i]) {
            a = values(before)[i];
            b = values(now)[i];
            break;
        }
    std::size_t pos = std::min(text.find(' '), text.size());
    const auto word = [&]() {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        const std::string_view w = text.substr(pos, end - pos);
        pos = end;
        return w.substr(0, 50);
    };
    const std::string_view op = word();
    constexpr std::string_view ops[] = {"=", ">", ">=", "<", "<=", "<>"};
    int code = -1;
    for (int i = 0; i < 6; ++i)
        if (op == ops[i]) code = i;
    if (code < 0) return false;
    const double parsed = ParseDecimalOr(word(), 0.0);
    const float number = parsed > std::numeric_limits<float>::max()    ? INFINITY
                         : parsed < -std::numeric_limits<float>::max() ? -INFINITY
                                                                       : static_cast<float>(parsed);
    const auto compare = [code, number](float v) {
        switch (code) {
        case 0:
            return v == number;
        case 1:
            return v > number;
        case 2:
            return v >= number;
        case 3:
            return v < number;
        case 4:
            return v <= number;
        default:
            return v != number;
        }
    };
    return !compare(a) && compare(b);
}

TUpsStatus ReadStatus(fuzz::Reader& in) {
    TUpsStatus s;
    const std::string bytes = in.Bytes(sizeof s) + std::string(sizeof s, '\0');
    std::memcpy(&s, bytes.data(), sizeof s);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const TUpsStatus previous = ReadStatus(in);
    TUpsStatus current = ReadStatus(in);
    const std::uint8_t specials = in.Byte();
    const std::uint8_t which = in.Byte();
    // The rule's text is a length-prefixed string of at most 255 bytes.
    const std::string text = in.Bytes(255);

    // The six floats lead the record; written through memcpy, as the record is packed.
    for (int i = 0; i < 6; ++i)
        if (specials >> i & 1) {
            const float value = Special<float>(static_cast<std::uint8_t>(which + i));
            std::memcpy(reinterpret_cast<char*>(&current) + i * sizeof(float), &value,
                        sizeof value);
        }
    if (specials & 0x40) current.BatteryTime = Special<double>(which);
    if (specials & 0x80) current.Load = 255;

    IClock& clock = SystemClock();
    const std::string replaced = SubstituteMacros(text, current, clock);
    for (std::string_view name : MacroNames)
        FUZZ_CHECK(replaced.find(name) == std::string::npos);
    std::size_t dollars = 0;
    for (char c : text)
        dollars += c == '$';
    // Each replacement eats at least one "$" and puts in one value text.
    FUZZ_CHECK(replaced.size() <= text.size() + dollars * MaxValueText);
    if (dollars == 0) FUZZ_CHECK(replaced == text);

    // Nothing changed between two polls: nothing can have become true.
    FUZZ_CHECK(replaced == ReferenceMacros(text, current, clock));
    FUZZ_CHECK(EvaluateExpression(text, previous, current) ==
               ReferenceExpression(text, previous, current));
    FUZZ_CHECK(EvaluateExpression(replaced, previous, current) ==
               ReferenceExpression(replaced, previous, current));
    FUZZ_CHECK(!EvaluateExpression(text, current, current));
    FUZZ_CHECK(!EvaluateExpression(replaced, previous, previous));
    EvaluateExpression(replaced, previous, current);
    EvaluateExpression(SubstituteMacros(text, previous, clock), current, previous);

    const float a = Special<float>(which), b = current.OutputVoltage;
    FUZZ_CHECK(!CompareValues(6 + which, a, b) && !CompareValues(-1 - which, a, b));
    return 0;
}
