#include "dialog/commands/command_rules.h"

#include <iterator>

#include "common/commands.h"
#include "common/numbers.h"
#include "dialog/module/conversions.h"

const TCmdKind CmdKinds[CmdKindCount] = {
    {"Тестирование 10 секунд", CMD_TEST, TCmdParameter::None},
    {"Тестирование до разряда батареи", CMD_TESTLOW, TCmdParameter::None},
    {"Тестирование на протяжении указанного времени", CMD_TESTMINUTES, TCmdParameter::Minutes},
    {"Инвертировать состояние пищалки", CMD_BEEPTOGGLE, TCmdParameter::None},
    {"Автоматическое выключение", CMD_SHUTDOWN, TCmdParameter::Delay},
    {"Автоматическое выключение и включение", CMD_SHUTDOWNRESTORE, TCmdParameter::DelayRestore},
    {"Отмена автоматического выключения", CMD_CANCELSHUTDOWN, TCmdParameter::None},
    {"Отмена тестирования", CMD_CANCELTEST, TCmdParameter::None},
    {"Пользовательская команда", CMD_CUSTOM, TCmdParameter::Text},
    // The beeper's two entries hold their codes crossed: "off" is 13, "on" is 12.
    {"Выключить пищалку", CMD_BEEPOFF, TCmdParameter::None},
    {"Включить пищалку", CMD_BEEPON, TCmdParameter::None},
};

static_assert(std::size(ShutdownDelayCodes) == DelayCodeCount);

namespace {
constexpr int UserCommandKind = 8;
// What the templates "00" and "0000" can hold: a larger number would lose its leading
// digits there (100 minutes would go out as "00"), so it is refused instead.
constexpr std::uint32_t MaxMinutes = 99, MaxSwitchOn = 9999;
} // namespace

int KindOfCode(std::uint8_t code) {
    for (int i = 0; i < CmdKindCount; ++i)
        if (CmdKinds[i].Code == code) return i;
    return UserCommandKind;
}

int DelayIndex(std::string_view code) {
    for (int i = 0; i < DelayCodeCount; ++i)
        if (ShutdownDelayCodes[i] == code) return i;
    return -1;
}

TCmdFields FieldsFromRecord(const TCustomCommand& record) {
    TCmdFields f;
    f.Description = record.Description.Str();
    f.Kind = KindOfCode(record.Code);
    const std::string_view parameter = record.Parameter.View();
    switch (record.Code) {
    case CMD_TESTMINUTES:
        f.Minutes = std::string(parameter);
        break;
    case CMD_SHUTDOWN:
        f.Delay = DelayIndex(parameter);
        break;
    case CMD_SHUTDOWNRESTORE:
        // Characters 1-2 the delay, 3 a blank, 4-7 the switch-on time.
        f.RestoreDelay = DelayIndex(parameter.substr(0, 2));
        if (parameter.size() > 3) f.SwitchOn = std::string(parameter.substr(3, 4));
        break;
    case CMD_CUSTOM:
        f.CommandText = std::string(parameter);
        break;
    default:
        break; // a code outside the table: a user command with an empty text
    }
    return f;
}

std::optional<std::uint32_t> PositiveInteger(std::string_view text) {
    const std::optional<std::int32_t> n = ParseInteger(text);
    if (!n || *n <= 0) return std::nullopt;
    return static_cast<std::uint32_t>(*n);
}

std::optional<TCustomCommand> RecordFromFields(const TCustomCommand& base, const TCmdFields& f) {
    if (f.Description.empty() || f.Kind < 0 || f.Kind >= CmdKindCount) return std::nullopt;
    TCustomCommand record = base;
    const TCmdKind& kind = CmdKinds[f.Kind];
    switch (kind.Parameter) {
    case TCmdParameter::None:
        break; // the parameter keeps what it held: the code says it is not used
    case TCmdParameter::Minutes: {
        const auto minutes = PositiveInteger(f.Minutes);
        if (!minutes || *minutes > MaxMinutes) return std::nullopt;
        record.Parameter.Assign(StampDigits("00", *minutes));
        break;
    }
    case TCmdParameter::Delay:
        if (f.Delay < 0 || f.Delay >= DelayCodeCount) return std::nullopt;
        record.Parameter.Assign(ShutdownDelayCodes[f.Delay]);
        break;
    case TCmdParameter::DelayRestore: {
        const auto switchOn = PositiveInteger(f.SwitchOn);
        if (f.RestoreDelay < 0 || f.RestoreDelay >= DelayCodeCount || !switchOn ||
            *switchOn > MaxSwitchOn)
            return std::nullopt;
        record.Parameter.Assign(std::string(ShutdownDelayCodes[f.RestoreDelay]) + " " +
                                StampDigits("0000", *switchOn));
        break;
    }
    case TCmdParameter::Text:
        if (f.CommandText.empty()) return std::nullopt;
        record.Parameter.Assign(std::string_view(f.CommandText).substr(0, CmdTextLimit));
        break;
    }
    record.Description.Assign(std::string_view(f.Description).substr(0, CmdTextLimit));
    record.Code = kind.Code;
    return record;
}
