#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/records.h"
#include "dialog/module/conversions.h"

// What the event editor knows apart from its window: the expression's variables and
// operators, the macros of the edit boxes' menu, and how one rule record becomes the
// editor's fields and back. The monitor reads what is built here (the expression as
// "variable operator number", a custom command as its identifier in decimal).

// How the number of an expression is typed for a variable.
enum class TNumberKind { Decimal, Integer, TimeOfDay };

struct TVariableDef {
    std::string_view Caption;
    std::string_view Name;
    TNumberKind Kind;
};

inline constexpr int VariableCount = 9;
inline constexpr TVariableDef Variables[VariableCount] = {
    {"Входное напряжение", "%INPUT", TNumberKind::Decimal},
    {"Выходное напряжение", "%OUTPUT", TNumberKind::Decimal},
    {"Напряжение батареи", "%BATT", TNumberKind::Decimal},
    {"Нижний порог напряжения", "%FAIL", TNumberKind::Decimal},
    {"Частота тока в сети", "%FREQ", TNumberKind::Decimal},
    {"Нагрузка", "%LOAD", TNumberKind::Integer},
    {"Температура", "%TERM", TNumberKind::Decimal},
    {"Заряд батареи", "%CHARGE", TNumberKind::Integer},
    {"Время автономной работы", "%ACFTIME", TNumberKind::TimeOfDay},
};

// In the order of their codes.
inline constexpr int OperatorCount = 6;
inline constexpr std::string_view Operators[OperatorCount] = {"=", ">", ">=", "<", "<=", "<>"};

// The context menu of the edit boxes: the macros, then the clipboard.
struct TMacroItem {
    std::string_view Caption;
    std::string_view Macro;
};
inline constexpr int MacroCount = 9;
inline constexpr TMacroItem MacroItems[MacroCount] = {
    {"Напряжение сети", "$INPUT"},
    {"Напряжение на выходе", "$OUTPUT"},
    {"Напряжение батареи", "$BATT"},
    {"Напряжение сбоя", "$FAIL"},
    {"Частота", "$FREQ"},
    {"Нагрузка", "$LOAD"},
    {"Температура", "$TERM"},
    {"Заряд батареи", "$CHARGE"},
    {"Время работы от батареи", "$ACFTIME"},
};
// Menu item numbers: 1-9 the macros above, then these.
enum : int { MENU_COPY = 10, MENU_CUT = 11, MENU_PASTE = 12 };
inline constexpr std::string_view ClipboardCaptions[3] = {"Копировать", "Вырезать", "Вставить"};

// The message for every wrong field.
inline constexpr std::string_view WrongFieldMessage =
    "Неправильно заполнено одно из обязятельных полей.";

// What the editor's controls hold; -1 is "nothing selected".
struct TEventFields {
    int Source = -1;
    int Action = -1;
    int Variable = -1;
    int Operator = -1;
    std::string Number = "0";
    std::string MessageText; // action 6
    std::string CommandLine; // action 7
    std::string JournalText; // action 9
    int Command = -1;        // index in the custom command list (action 8)
};

// A custom command as its list shows it: "12: Описание".
std::string CommandItem(const TCustomCommand& command);

// The fields a stored rule gives, over the fields as they are (what the rule does not
// name stays as it was: an unknown variable leaves the variable list unchanged).
void LoadRuleFields(const TEventRule& rule, const std::vector<std::string>& commandItems,
                    TEventFields& fields, const TLocaleFormats& formats = UserLocaleFormats());

// The rule the fields make, written into the record: source and action first, then the
// parameter and the expression emptied and built anew; the identifier is left alone. False
// when a field is wrong (the record may then already hold the new codes).
bool BuildRule(const TEventFields& fields, const std::vector<std::string>& commandItems,
               TEventRule& rule, const TLocaleFormats& formats = UserLocaleFormats());

// A number of days in the shortest decimal form with up to 15 significant digits, with
// "." (five minutes: "0.00347222222222222").
std::string DayFractionText(double days);

// The command line with a chosen program appended in double quotes, as the monitor's
// splitting of a command line expects.
std::string AppendQuotedPath(std::string_view commandLine, std::string_view path);
