#include "dialog/mainwindow/event_table.h"

#include "common/events.h"
#include "common/files.h"
#include "common/numbers.h"

namespace {

constexpr std::string_view UnknownKind = "Ошибка!";

// The list's own names; the last action reads differently from the editor's caption.
// The list names the journal action for what it does; the editor's list offers it as a message.
constexpr std::string_view JournalActionName = "Запись в протокол";

bool HasId(const TEventRule& rule, std::int32_t id) {
    return static_cast<std::int32_t>(rule.Id) == id;
}

} // namespace

std::string_view EventKindName(std::uint8_t source) {
    return source < EventSourceCount ? EventSourceCaptions[source] : UnknownKind;
}

std::string_view ActionKindName(std::uint8_t action) {
    if (action == ACT_JOURNALMESSAGE) return JournalActionName;
    return action < ActionCount ? ActionCaptions[action] : UnknownKind;
}

std::int32_t RowIdentifier(std::string_view text, std::int32_t fallback) {
    return ParseIntegerOr(text, fallback);
}

std::optional<std::size_t> MoveRuleUp(TEventTable& table, std::int32_t id) {
    for (std::size_t i = 1; i < table.Size(); ++i)
        if (HasId(table[i], id)) {
            table.MoveUp(i);
            return i - 1;
        }
    return std::nullopt;
}

std::optional<std::size_t> MoveRuleDown(TEventTable& table, std::int32_t id) {
    for (std::size_t i = 0; i + 1 < table.Size(); ++i)
        if (HasId(table[i], id)) {
            table.MoveDown(i);
            return i + 1;
        }
    return std::nullopt;
}

bool DeleteRule(TEventTable& table, std::int32_t id) {
    if (id < 0 || id > 0xFFFF) return false;
    return table.DeleteLastById(static_cast<std::uint16_t>(id));
}

std::optional<std::size_t> FindRule(const TEventTable& table, std::int32_t id) {
    for (std::size_t i = 0; i < table.Size(); ++i)
        if (HasId(table[i], id)) return i;
    return std::nullopt;
}

bool AppendRule(TEventTable& table, const TEventRule& rule) {
    if (table.Size() >= MaxListRecords) return false;
    // Above 65535 the identifier would wrap to 0, which names no rule: the smallest free
    // one serves instead (one is free among 50 rules).
    std::uint16_t id = table.NewId();
    for (std::uint16_t free = 1; id == 0; ++free)
        if (!FindRule(table, free)) id = free;
    table.Add(rule);
    table[table.Size() - 1].Id = id;
    return true;
}

void ReplaceRule(TEventTable& table, const TEventRule& rule) {
    table.ReplaceById(rule.Id, rule);
}

bool StoreRules(IFileSystem& files, const std::string& path, const TEventTable& table) {
    return table.Save(files, path);
}
