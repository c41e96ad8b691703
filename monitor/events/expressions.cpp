#include "monitor/events/expressions.h"

#include <cmath>
#include <limits>

#include "common/clock.h"
#include "common/numbers.h"

namespace {

// Values reach the texts and comparisons by value: the status record is packed, so no
// reference to one of its fields is ever taken.
using MacroText = std::string (*)(const TUpsStatus&, IClock&);

struct Macro {
    std::string_view Name;
    MacroText Text;
};

// In the order of replacement: "$BATT" comes before anything else could be formed from it,
// so "$BATTERY" is the voltage followed by "ERY".
const Macro Macros[] = {
    {"$INPUT", [](const TUpsStatus& s, IClock&) { return FormatFixed(s.InputVoltage, 1); }},
    {"$OUTPUT", [](const TUpsStatus& s, IClock&) { return FormatFixed(s.OutputVoltage, 1); }},
    {"$BATT", [](const TUpsStatus& s, IClock&) { return FormatFixed(s.BatteryVoltage, 2); }},
    {"$FAIL", [](const TUpsStatus& s, IClock&) { return FormatFixed(s.InputFaultVoltage, 1); }},
    {"$FREQ", [](const TUpsStatus& s, IClock&) { return FormatFixed(s.InputFrequency, 1); }},
    {"$TERM", [](const TUpsStatus& s, IClock&) { return FormatFixed(s.Temperature, 1); }},
    {"$LOAD", [](const TUpsStatus& s, IClock&) { return std::to_string(unsigned{s.Load}); }},
    {"$CHARGE",
     [](const TUpsStatus& s, IClock&) { return std::to_string(unsigned{s.BatteryCharge}); }},
    {"$ACFTIME", [](const TUpsStatus& s, IClock& c) { return c.LongTime(s.BatteryTime); }},
};

// A 64-bit value as a 32-bit float without undefined conversions: out of range becomes
// an infinity, as the hardware would give.
float ToFloat(double value) {
    constexpr double top = std::numeric_limits<float>::max();
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    if (value > top) return std::numeric_limits<float>::infinity();
    if (value < -top) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

using VariableValue = float (*)(const TUpsStatus&);

struct Variable {
    std::string_view Name;
    VariableValue Value;
};

// No name begins with another, so the first match is the only one.
const Variable Variables[] = {
    {"%INPUT", [](const TUpsStatus& s) -> float { return s.InputVoltage; }},
    {"%OUTPUT", [](const TUpsStatus& s) -> float { return s.OutputVoltage; }},
    {"%BATT", [](const TUpsStatus& s) -> float { return s.BatteryVoltage; }},
    {"%FAIL", [](const TUpsStatus& s) -> float { return s.InputFaultVoltage; }},
    {"%FREQ", [](const TUpsStatus& s) -> float { return s.InputFrequency; }},
    {"%LOAD", [](const TUpsStatus& s) -> float { return s.Load; }},
    {"%TERM", [](const TUpsStatus& s) -> float { return s.Temperature; }},
    {"%CHARGE", [](const TUpsStatus& s) -> float { return s.BatteryCharge; }},
    {"%ACFTIME", [](const TUpsStatus& s) -> float { return ToFloat(s.BatteryTime); }},
};

struct Operator {
    std::string_view Text;
    int Code;
};

const Operator Operators[] = {{"=", 0}, {">", 1}, {">=", 2}, {"<", 3}, {"<=", 4}, {"<>", 5}};

// Only this many characters of the operator and of the number are looked at.
constexpr std::size_t WordLimit = 50;

// The word at pos, up to the next space or the end; pos moves past it.
std::string_view TakeWord(std::string_view text, std::size_t& pos) {
    const std::size_t end = std::min(text.find(' ', pos), text.size());
    const std::string_view word = text.substr(pos, end - pos);
    pos = end;
    return word;
}

void SkipSpaces(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
}

} // namespace

std::string SubstituteMacros(std::string_view text, const TUpsStatus& status, IClock& clock) {
    std::string out(text);
    for (const Macro& macro : Macros) {
        std::size_t pos = out.find(macro.Name);
        if (pos == std::string::npos) continue;
        const std::string value = macro.Text(status, clock);
        // Searching on after the inserted value finds what a search from the start would
        // (no value holds "$"), and the work stays linear in the number of macros.
        while (pos != std::string::npos) {
            out.replace(pos, macro.Name.size(), value);
            pos = out.find(macro.Name, pos + value.size());
        }
    }
    return out;
}

bool CompareValues(int op, float value, float number) {
    switch (op) {
    case 0:
        return value == number;
    case 1:
        return value > number;
    case 2:
        return value >= number;
    case 3:
        return value < number;
    case 4:
        return value <= number;
    case 5:
        return value != number;
    default:
        return false;
    }
}

bool EvaluateExpression(std::string_view text, const TUpsStatus& previous,
                        const TUpsStatus& current) {
    if (text.empty()) return false;

    float before = 0, now = 0;
    for (const Variable& v : Variables)
        if (text.starts_with(v.Name)) {
            before = v.Value(previous);
            now = v.Value(current);
            break;
        }

    std::size_t pos = 0;
    TakeWord(text, pos);
    SkipSpaces(text, pos);
    const std::string_view opWord = TakeWord(text, pos).substr(0, WordLimit);
    int op = -1;
    for (const Operator& o : Operators)
        if (opWord == o.Text) op = o.Code;
    if (op < 0) return false;

    SkipSpaces(text, pos);
    const std::string_view numberWord = TakeWord(text, pos).substr(0, WordLimit);
    // Not a number, or one beyond any finite value, counts as 0.
    const float number = ToFloat(ParseDecimalOr(numberWord, 0.0));

    return !CompareValues(op, before, number) && CompareValues(op, now, number);
}
