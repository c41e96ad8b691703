#include "monitor/link/megatec_parse.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include "common/commands.h"
#include "common/numbers.h"

namespace {

// The caller's argument is a C text; a damaged one may lack its zero, so never look
// further than a Megatec line could reach.
constexpr std::size_t MaxArgumentLength = 255;

// How a command that takes an argument lays it out: head + argument[from, from+len) +
// middle + argument[from2, from2+len2). Positions count from 0.
struct ArgumentLayout {
    std::uint8_t Number;
    std::string_view Head;
    std::size_t From, Length;
    std::string_view Middle;
    std::size_t From2, Length2;
};

constexpr ArgumentLayout ArgumentLayouts[] = {
    {CMD_TESTMINUTES, "T", 0, MaxArgumentLength, "", 0, 0},
    {CMD_SHUTDOWN, "S", 0, 2, "", 0, 0},
    // The third character of the argument separates the two delays and is not sent.
    {CMD_SHUTDOWNRESTORE, "S", 0, 2, "R", 3, 4},
    {CMD_CUSTOM, "", 0, MaxArgumentLength, "", 0, 0},
};

// What a valid answer looks like.
struct AnswerRule {
    CommandAnswer Kind;
    std::size_t MinLength;
    char FirstByte;
};

constexpr AnswerRule AnswerRules[] = {
    {CommandAnswer::Status, 47, '('},
    {CommandAnswer::Info, 39, '#'},
    {CommandAnswer::Rating, 22, '#'},
};

// Status bits of the answer (positions from 1 at the "(") and the flags they set.
// Position 41, voltage regulation, is resolved separately.
struct StatusBit {
    std::size_t Position;
    std::uint16_t Flag;
};

constexpr StatusBit StatusBits[] = {
    {39, UPS_ONBATTERY}, {40, UPS_BATTLOW},  {42, UPS_FAILED}, {43, UPS_STANDBY},
    {44, UPS_TEST},      {45, UPS_SHUTDOWN}, {46, UPS_BEEPER},
};
constexpr std::size_t RegulationBit = 41;

std::string_view Slice(std::string_view text, std::size_t from, std::size_t length) {
    if (from >= text.size()) return {};
    return text.substr(from, length);
}

// The text up to its first zero byte: what the answer buffer holds as a line.
std::string_view UpToZero(std::string_view text) {
    const std::size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// A fixed field by 1-based position; a line that ends before the field's end does not
// carry it.
std::optional<std::string_view> Field(std::string_view line, std::size_t position,
                                      std::size_t length) {
    if (position == 0 || position - 1 + length > line.size()) return std::nullopt;
    return line.substr(position - 1, length);
}

std::optional<float> DecimalField(std::string_view line, std::size_t position, std::size_t length) {
    const auto text = Field(line, position, length);
    if (!text) return std::nullopt;
    const auto value = ParseDecimal(*text);
    // A value no 32-bit float holds (such as "9e99") is as useless as letters.
    if (!value || std::fabs(*value) > FLT_MAX) return std::nullopt;
    return static_cast<float>(*value);
}

std::optional<std::int32_t> IntegerField(std::string_view line, std::size_t position,
                                         std::size_t length) {
    const auto text = Field(line, position, length);
    if (!text) return std::nullopt;
    return ParseInteger(*text);
}

bool BitSet(std::string_view line, std::size_t position) {
    return position >= 1 && position <= line.size() && line[position - 1] == '1';
}

} // namespace

std::optional<std::string> BuildCommandText(std::uint8_t number, const char* argument) {
    if (number > CMD_CUSTOM) return std::nullopt;
    const CommandDef& def = CommandTable[number];
    if (!def.NeedsArgument) return std::string(def.Text) + '\r';
    if (argument == nullptr) return std::nullopt;

    const std::string_view arg(argument, strnlen(argument, MaxArgumentLength));
    for (const ArgumentLayout& layout : ArgumentLayouts) {
        if (layout.Number != number) continue;
        std::string text(layout.Head);
        text += Slice(arg, layout.From, layout.Length);
        text += layout.Middle;
        text += Slice(arg, layout.From2, layout.Length2);
        text += '\r';
        return text;
    }
    return std::nullopt;
}

bool IsValidAnswer(std::uint8_t number, std::string_view answer, bool complete,
                   std::string_view sentText) {
    if (number >= CommandCount || !complete) return false;
    const CommandAnswer kind = CommandTable[number].Answer;
    if (kind == CommandAnswer::Line) {
        // A looped-back cable returns the command itself; that is no answer.
        return UpToZero(answer) != sentText;
    }
    for (const AnswerRule& rule : AnswerRules)
        if (rule.Kind == kind)
            return answer.size() >= rule.MinLength && answer.front() == rule.FirstByte;
    return false;
}

void ParseStatusLine(std::string_view line, std::uint8_t altTransDiff, TUpsStatus& status) {
    line = UpToZero(line);
    const auto input = DecimalField(line, 2, 5);
    const auto output = DecimalField(line, 14, 5);
    status.InputVoltage = input.value_or(-1.0f);
    status.InputFaultVoltage = DecimalField(line, 8, 5).value_or(-1.0f);
    status.OutputVoltage = output.value_or(-1.0f);
    const auto load = IntegerField(line, 20, 3);
    // 255 stands for "no number"; a number the byte cannot hold is no better.
    status.Load = (load && *load >= 0 && *load <= 255) ? static_cast<std::uint8_t>(*load) : 255;
    status.InputFrequency = DecimalField(line, 24, 4).value_or(-1.0f);
    status.BatteryVoltage = DecimalField(line, 29, 4).value_or(-1.0f);
    status.Temperature = DecimalField(line, 34, 4).value_or(-1.0f);

    std::uint16_t flags = 0;
    for (const StatusBit& bit : StatusBits)
        if (BitSet(line, bit.Position)) flags |= bit.Flag;

    if (altTransDiff == 0) {
        if (BitSet(line, RegulationBit)) {
            flags |= UPS_REGULATING;
            flags |= input.value_or(-1.0f) > output.value_or(-1.0f) ? UPS_BUCK : UPS_BOOST;
        }
    } else if (input && output) {
        // Some UPSes never report regulation; judge it by how far output is from input.
        // Without both voltages there is nothing to judge.
        const double in = *input, out = *output;
        if (in - out >= altTransDiff)
            flags |= UPS_REGULATING | UPS_BUCK;
        else if (out - in >= altTransDiff)
            flags |= UPS_REGULATING | UPS_BOOST;
    }
    status.Flags = flags;
}

void ParseInfoLine(std::string_view line, TUpsInfo& info) {
    line = UpToZero(line);
    // Names are kept as the UPS pads them.
    info.Maker.Assign(Slice(line, 1, 15));
    info.Model.Assign(Slice(line, 17, 10));
    info.Version.Assign(Slice(line, 28, 10));
}

void ParseRatingLine(std::string_view line, TUpsRating& rating) {
    line = UpToZero(line);
    rating.Voltage = DecimalField(line, 2, 5).value_or(-1.0f);
    rating.Current = IntegerField(line, 8, 3).value_or(-1);
    rating.BatteryVoltage = DecimalField(line, 12, 5).value_or(-1.0f);
    rating.Frequency = DecimalField(line, 18, 4).value_or(-1.0f);
}
