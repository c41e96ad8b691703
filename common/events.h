#pragma once
#include <cstdint>
#include <string_view>

// Event sources: the code stored in an event rule.
enum : std::uint8_t {
    EV_POWERFAIL = 0,
    EV_POWERRESTORE = 1,
    EV_BATTLOW = 2,
    EV_BATTRESTORE = 3,
    EV_BOOSTON = 4,
    EV_BOOSTOFF = 5,
    EV_BUCKON = 6,
    EV_BUCKOFF = 7,
    EV_UPSFAIL = 8,
    EV_UPSRESTORE = 9,
    EV_EXPRESSION = 10,
    EV_PROGRAMSTART = 11,
    EV_PROGRAMEXIT = 12,
    EV_LINKLOST = 13,
    EV_LINKUP = 14,
};
inline constexpr int EventSourceCount = 15;

// Captions as the event editor shows them, indexed by source code.
inline constexpr std::string_view EventSourceCaptions[EventSourceCount] = {
    "Сбой питающей сети",
    "Возобновление питающей сети",
    "Разряд батареи",
    "Восстановлен заряд батареи",
    "Переход на повышение",
    "Возврат с повышения",
    "Переход на понижение",
    "Возврат с понижения",
    "Сбой UPS",
    "Восстановление работы UPS",
    "Справедливость выражения",
    "Запуск программы",
    "Завершение программы",
    "Связь с UPS потеряна",
    "Связь с UPS установлена",
};

// Actions: the code stored in an event rule.
enum : std::uint8_t {
    ACT_POWEROFF = 0,
    ACT_FORCEPOWEROFF = 1,
    ACT_SHUTDOWN = 2,
    ACT_FORCESHUTDOWN = 3,
    ACT_HIBERNATE = 4,
    ACT_HIBERNATEORPOWEROFF = 5,
    ACT_SCREENMESSAGE = 6,
    ACT_RUNPROGRAM = 7,
    ACT_UPSCOMMAND = 8,
    ACT_JOURNALMESSAGE = 9,
};
inline constexpr int ActionCount = 10;

inline constexpr std::string_view ActionCaptions[ActionCount] = {
    "Обычное выключение",
    "Принудительное выключение",
    "Обычное завершение",
    "Принудительное завершение",
    "Хибернейт",
    "Хибернейт или выключение",
    "Сообщение на экран",
    "Выполнение команды ОС",
    "Выполнение команды UPS",
    "Сообщение в протокол",
};

// Journal kinds.
enum : std::uint8_t {
    JK_ENDOFRUN = 0,
    JK_INFO = 1,
    JK_WARNING = 2,
    JK_ERROR = 3,
    JK_USER = 4,
};
inline constexpr int JournalKindCount = 5;
