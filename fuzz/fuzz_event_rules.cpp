// The event editor on any stored rule record: loading it into the editor's fields (with
// its reading of the expression) and saving it back with OK unchanged, over a custom
// command list of any identifiers and descriptions.
//
// Input: byte 0 = the locale (bits 0-2), 08 the fields start from the next two bytes'
// variable and operator (as left by an earlier choice) instead of none; byte 1 = the
// number of custom commands (bits 0-2), each then a little-endian identifier, a length
// and that many bytes of description; then the 516 bytes of the rule (zeros past the
// input's end).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/events.h"
#include "common/numbers.h"
#include "dialog/eventeditor/event_rules.h"
#include "fuzz_support.h"

namespace {

// Short date and long time pictures of a few Windows locales.
const TLocaleFormats Locales[8] = {
    {"dd.MM.yyyy", "H:mm:ss"},   {"M/d/yyyy", "h:mm:ss tt"}, {"yyyy-MM-dd", "HH:mm:ss"},
    {"d.M.yyyy", "H.mm.ss"},     {"dd/MM/yyyy", "HH:mm:ss"}, {"yyyy/MM/dd", "tt h:mm:ss"},
    {"yyyy/M/d", "tt hh:mm:ss"}, {"d/M/yyyy", "h:mm:ss tt"},
};

// The monitor looks at this many characters of the number.
constexpr std::size_t MonitorWordLimit = 50;

// The words of an expression as the monitor and the editor both split them: at spaces.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != ' ')
            ++pos;
        if (pos > start) words.push_back(text.substr(start, pos - start));
    }
    return words;
}

// The number the monitor compares with.
float MonitorNumber(std::string_view word) {
    const double v = ParseDecimalOr(word.substr(0, MonitorWordLimit), 0);
    return static_cast<float>(std::clamp(v, -3.4e38, 3.4e38));
}

void CheckLoaded(const TEventRule& rule, const std::vector<std::string>& items,
                 const TEventFields& before, const TEventFields& f, const TLocaleFormats& locale) {
    FUZZ_CHECK(f.Source == (rule.Source < EventSourceCount ? rule.Source : -1));
    FUZZ_CHECK(f.Action == (rule.Action < ActionCount ? rule.Action : -1));
    FUZZ_CHECK(f.Variable >= -1 && f.Variable < VariableCount);
    FUZZ_CHECK(f.Operator >= -1 && f.Operator < OperatorCount);
    const std::string parameter = rule.Parameter.Str();
    FUZZ_CHECK(parameter.size() <= 255);
    if (rule.Action == ACT_SCREENMESSAGE) FUZZ_CHECK(f.MessageText == parameter);
    if (rule.Action == ACT_RUNPROGRAM) FUZZ_CHECK(f.CommandLine == parameter);
    if (rule.Action == ACT_JOURNALMESSAGE) FUZZ_CHECK(f.JournalText == parameter);
    if (rule.Action == ACT_UPSCOMMAND && !parameter.empty()) {
        // The last command with the identifier, or none.
        const std::int32_t id = ParseIntegerOr(parameter, -1);
        int last = -1;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (IdFromEntry(items[i]) == id) last = static_cast<int>(i);
        FUZZ_CHECK(f.Command == last);
    } else {
        FUZZ_CHECK(f.Command == before.Command);
    }
    if (rule.Source != EV_EXPRESSION || rule.Expression.Empty()) {
        FUZZ_CHECK(f.Variable == before.Variable && f.Operator == before.Operator);
        FUZZ_CHECK(f.Number == before.Number);
    } else if (f.Variable >= 0 && Variables[f.Variable].Kind == TNumberKind::TimeOfDay) {
        // The time the field shows is one the field reads back.
        FUZZ_CHECK(TimeWithDefault(f.Number, -1, locale) >= 0);
    }
}

// A rule the editor saved: its codes as loaded, its parameter the loaded text or command,
// its expression "variable operator number" with single spaces and no more.
void CheckSaved(const TEventRule& rule, const std::vector<std::string>& items,
                const TEventFields& f, const TEventRule& saved) {
    FUZZ_CHECK(saved.Id == rule.Id);
    FUZZ_CHECK(saved.Source == rule.Source && saved.Action == rule.Action);
    const std::string_view parameter = saved.Parameter.View();
    switch (rule.Action) {
    case ACT_SCREENMESSAGE:
    case ACT_RUNPROGRAM:
    case ACT_JOURNALMESSAGE:
        FUZZ_CHECK(!parameter.empty() && parameter == rule.Parameter.View());
        break;
    case ACT_UPSCOMMAND:
        FUZZ_CHECK(parameter ==
                   std::to_string(IdFromEntry(items[static_cast<std::size_t>(f.Command)])));
        FUZZ_CHECK(ParseIntegerOr(parameter, -1) >= 0);
        break;
    default:
        FUZZ_CHECK(parameter.empty());
    }
    if (rule.Source != EV_EXPRESSION) {
        FUZZ_CHECK(saved.Expression.Empty());
        return;
    }
    const std::vector<std::string_view> words = Words(saved.Expression.View());
    FUZZ_CHECK(words.size() == 3);
    FUZZ_CHECK(saved.Expression.View() ==
               std::string(words[0]) + " " + std::string(words[1]) + " " + std::string(words[2]));
    FUZZ_CHECK(words[0] == Variables[f.Variable].Name && words[1] == Operators[f.Operator]);
    // -1 marks a failed conversion: never a number the editor writes.
    FUZZ_CHECK(ParseDecimal(words[2]).value_or(-1) != -1);
}

// A stored expression that the monitor reads as the editor does (the variable at its
// start, a number it reads whole) means the same after the save: the same variable and
// operator, the same number; a time on battery within the second the editor shows.
void CheckEquivalent(const TEventRule& rule, const TEventFields& f, const TEventRule& saved) {
    if (rule.Source != EV_EXPRESSION || f.Variable < 0) return;
    const std::string_view stored = rule.Expression.View();
    const std::string_view name = Variables[f.Variable].Name;
    if (stored.substr(0, name.size()) != name ||
        (stored.size() > name.size() && stored[name.size()] != ' '))
        return;
    const std::vector<std::string_view> was = Words(stored), now = Words(saved.Expression.View());
    FUZZ_CHECK(was.size() >= 3 && was[1] == now[1]);
    if (was[2].size() > MonitorWordLimit) return;
    if (Variables[f.Variable].Kind != TNumberKind::TimeOfDay) {
        FUZZ_CHECK(MonitorNumber(was[2]) == MonitorNumber(now[2]));
        return;
    }
    const double days = ParseDecimalOr(was[2], 0);
    FUZZ_CHECK(std::isfinite(days) && days > 0);
    const double second = 1.0 / 86400;
    FUZZ_CHECK(std::fabs(ParseDecimalOr(now[2], -1) - (days - std::floor(days))) <= 1.001 * second);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const std::uint8_t flags = in.Byte();
    const TLocaleFormats& locale = Locales[flags & 7];
    TEventFields before;
    if (flags & 8) {
        before.Variable = in.Byte() % (VariableCount + 1) - 1;
        before.Operator = in.Byte() % (OperatorCount + 1) - 1;
    }
    const std::size_t commandCount = in.Byte() % 8;
    std::vector<std::string> items;
    for (std::size_t i = 0; i < commandCount; ++i) {
        TCustomCommand command{};
        command.Id = in.Word();
        command.Description.Assign(in.Bytes(in.Byte() % 51));
        items.push_back(CommandItem(command));
        FUZZ_CHECK(IdFromEntry(items.back()) == command.Id);
    }
    TEventRule rule;
    const std::string bytes = in.Bytes(sizeof rule) + std::string(sizeof rule, '\0');
    std::memcpy(&rule, bytes.data(), sizeof rule);

    TEventFields f = before;
    LoadRuleFields(rule, items, f, locale);
    CheckLoaded(rule, items, before, f, locale);

    // OK without a change.
    TEventRule saved = rule;
    if (!BuildRule(f, items, saved, locale)) {
        FUZZ_CHECK(saved.Id == rule.Id);
        return 0;
    }
    CheckSaved(rule, items, f, saved);
    if (before.Variable < 0) CheckEquivalent(rule, f, saved);

    // What the editor saved loads and saves again to the same 516 bytes.
    TEventFields again;
    LoadRuleFields(saved, items, again, locale);
    TEventRule resaved = saved;
    FUZZ_CHECK(BuildRule(again, items, resaved, locale));
    FUZZ_CHECK(std::memcmp(&resaved, &saved, sizeof saved) == 0);
    return 0;
}
