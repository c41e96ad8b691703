#include "dialog/eventeditor/event_rules.h"

#include <charconv>

#include "common/events.h"
#include "common/numbers.h"

namespace {

// The next word of an expression: spaces skipped, then everything up to a space.
std::string_view NextWord(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] != ' ')
        ++pos;
    return text.substr(start, pos - start);
}

bool InRange(int value, int count) {
    return value >= 0 && value < count;
}

// The number as the monitor will read it, or empty when the field is wrong for the variable.
std::string ExpressionNumber(const TVariableDef& variable, std::string_view typed,
                             const TLocaleFormats& formats) {
    switch (variable.Kind) {
    case TNumberKind::Integer: {
        const std::int32_t value = ParseIntegerOr(typed, -1);
        return value == -1 ? std::string() : std::to_string(value);
    }
    case TNumberKind::TimeOfDay: {
        const double days = TimeWithDefault(typed, 0, formats);
        return days > 0 ? DayFractionText(days) : std::string();
    }
    case TNumberKind::Decimal:
        break;
    }
    // -1 is what a failed conversion gives, so it is refused like one.
    return FloatWithDefault(typed, -1) == -1 ? std::string() : std::string(TrimBlanks(typed));
}

} // namespace

std::string CommandItem(const TCustomCommand& command) {
    return std::to_string(command.Id) + ": " + command.Description.Str();
}

void LoadRuleFields(const TEventRule& rule, const std::vector<std::string>& commandItems,
                    TEventFields& fields, const TLocaleFormats& formats) {
    fields.Source = InRange(rule.Source, EventSourceCount) ? rule.Source : -1;
    fields.Action = InRange(rule.Action, ActionCount) ? rule.Action : -1;

    const std::string parameter = rule.Parameter.Str();
    switch (rule.Action) {
    case ACT_SCREENMESSAGE:
        fields.MessageText = parameter;
        break;
    case ACT_RUNPROGRAM:
        fields.CommandLine = parameter;
        break;
    case ACT_JOURNALMESSAGE:
        fields.JournalText = parameter;
        break;
    case ACT_UPSCOMMAND:
        if (!parameter.empty()) {
            const std::int32_t id = ParseIntegerOr(parameter, -1);
            fields.Command = -1;
            for (std::size_t i = 0; i < commandItems.size(); ++i)
                if (IdFromEntry(commandItems[i]) == id) fields.Command = static_cast<int>(i);
        }
        break;
    default:
        break;
    }

    if (rule.Source != EV_EXPRESSION || rule.Expression.Empty()) return;
    const std::string_view expression = rule.Expression.View();
    std::size_t pos = 0;
    const std::string_view name = NextWord(expression, pos);
    for (int i = 0; i < VariableCount; ++i)
        if (Variables[i].Name == name) fields.Variable = i;
    const std::string_view op = NextWord(expression, pos);
    fields.Operator = -1;
    for (int i = 0; i < OperatorCount; ++i)
        if (Operators[i] == op) fields.Operator = i;
    const std::string_view number = NextWord(expression, pos);
    if (InRange(fields.Variable, VariableCount) &&
        Variables[fields.Variable].Kind == TNumberKind::TimeOfDay)
        fields.Number = FormatTimeOfDay(FloatWithDefault(number, 0), formats);
    else
        fields.Number = std::string(number);
}

bool BuildRule(const TEventFields& fields, const std::vector<std::string>& commandItems,
               TEventRule& rule, const TLocaleFormats& formats) {
    if (!InRange(fields.Source, EventSourceCount) || !InRange(fields.Action, ActionCount))
        return false;
    rule.Source = static_cast<std::uint8_t>(fields.Source);
    rule.Action = static_cast<std::uint8_t>(fields.Action);
    rule.Parameter.Clear();
    rule.Expression.Clear();

    if (fields.Source == EV_EXPRESSION) {
        if (!InRange(fields.Variable, VariableCount) || !InRange(fields.Operator, OperatorCount))
            return false;
        const TVariableDef& variable = Variables[fields.Variable];
        const std::string number = ExpressionNumber(variable, fields.Number, formats);
        if (number.empty()) return false;
        rule.Expression.Assign(std::string(variable.Name) + " " +
                               std::string(Operators[fields.Operator]) + " " + number);
    }

    switch (fields.Action) {
    case ACT_SCREENMESSAGE:
    case ACT_RUNPROGRAM:
    case ACT_JOURNALMESSAGE: {
        const std::string& text = fields.Action == ACT_SCREENMESSAGE ? fields.MessageText
                                  : fields.Action == ACT_RUNPROGRAM  ? fields.CommandLine
                                                                     : fields.JournalText;
        if (text.empty()) return false;
        rule.Parameter.Assign(text);
        return true;
    }
    case ACT_UPSCOMMAND: {
        if (fields.Command < 0 || static_cast<std::size_t>(fields.Command) >= commandItems.size())
            return false;
        const std::int32_t id = IdFromEntry(commandItems[static_cast<std::size_t>(fields.Command)]);
        if (id < 0) return false;
        rule.Parameter.Assign(std::to_string(id));
        return true;
    }
    default:
        return true;
    }
}

std::string DayFractionText(double days) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, days, std::chars_format::general, 15);
    return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0");
}

std::string AppendQuotedPath(std::string_view commandLine, std::string_view path) {
    std::string out(commandLine);
    out += '"';
    out += path;
    out += '"';
    return out;
}
