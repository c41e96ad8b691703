#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/records.h"

// The command editor's rules, apart from its window: which kinds it offers and in which
// order, how a record fills the editor's fields, and how the fields are checked and turned
// back into a record. The window only moves these texts in and out of its controls.

// What a kind asks for on its parameter page.
enum class TCmdParameter {
    None,         // "Нет дополнительных параметров"
    Minutes,      // a duration written into "00"
    Delay,        // one of the switch-off delay codes
    DelayRestore, // a delay code and a switch-on time written into "0000"
    Text,         // a command text of its own
};

struct TCmdKind {
    std::string_view Caption;
    std::uint8_t Code;
    TCmdParameter Parameter;
};

// In the order of the editor's list; its page has the same number.
inline constexpr int CmdKindCount = 11;
extern const TCmdKind CmdKinds[CmdKindCount];
inline constexpr int DelayCodeCount = 18; // ShutdownDelayCodes of common/commands.h

// The list entry that shows a command code; the user command for a code outside the table.
int KindOfCode(std::uint8_t code);

// The editor's fields as texts and choices (-1 = nothing chosen).
struct TCmdFields {
    std::string Description;
    int Kind = -1;
    std::string Minutes; // page of "Тестирование на протяжении указанного времени"
    int Delay = -1; // page of "Автоматическое выключение"
    int RestoreDelay = -1; // page of "Автоматическое выключение и включение"
    std::string SwitchOn;    // the same page
    std::string CommandText; // page of "Пользовательская команда"
};

// A record shown in the editor. A code outside the table shows as a user command with an
// empty text; a parameter that matches no delay code chooses none.
TCmdFields FieldsFromRecord(const TCustomCommand& record);

// The index of a delay code in ShutdownDelayCodes; -1 when it is none of them.
int DelayIndex(std::string_view code);

// A field "holds a non-zero integer": its text reads as a decimal integer above 0. Empty
// or non-numeric text counts as 0, and so does a negative number, which no UPS timer takes.
std::optional<std::uint32_t> PositiveInteger(std::string_view text);

// The record the editor's OK builds from its fields, starting from the record it was given
// (so that a kind without parameter keeps the old parameter, and the bytes after a text
// stay as they were); none when a required field is filled in wrongly.
std::optional<TCustomCommand> RecordFromFields(const TCustomCommand& base,
                                               const TCmdFields& fields);

// Texts as the editor stores them: first 50 characters.
inline constexpr std::size_t CmdTextLimit = 50;
