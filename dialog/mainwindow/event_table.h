#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/record_list.h"
#include "common/records.h"

class IFileSystem;

// The "События" page's table of event rules, apart from its window: the names its list
// shows, and the operations of its buttons on the table. Rows are found by the identifier
// the selected row shows, as the page reads it back from the list.

using TEventTable = RecordList<TEventRule>;

// The names of the list's columns for a stored code; "Ошибка!" for a code of no meaning.
std::string_view EventKindName(std::uint8_t source);
std::string_view ActionKindName(std::uint8_t action);

// A row's identifier text as an integer; the fallback when it is no number.
std::int32_t RowIdentifier(std::string_view text, std::int32_t fallback);

// Moves the first record with the identifier up (from the second position on) or down
// (up to the next-to-last), swapping it with its neighbour. The record's new position, or
// none when no record moved.
std::optional<std::size_t> MoveRuleUp(TEventTable& table, std::int32_t id);
std::optional<std::size_t> MoveRuleDown(TEventTable& table, std::int32_t id);

// The last record with the identifier removed; false when there is none.
bool DeleteRule(TEventTable& table, std::int32_t id);

// The position of the first record with the identifier, or none.
std::optional<std::size_t> FindRule(const TEventTable& table, std::int32_t id);

// A new rule appended with the identifier one above the largest; false when the table is
// full (50 rules).
bool AppendRule(TEventTable& table, const TEventRule& rule);

// Every record with the edited record's identifier replaced, all of its bytes.
void ReplaceRule(TEventTable& table, const TEventRule& rule);

// The file written anew with the table's records in order. It goes through a temporary
// file that then replaces the old one, so a failed write leaves the old rules whole.
bool StoreRules(IFileSystem& files, const std::string& path, const TEventTable& table);
