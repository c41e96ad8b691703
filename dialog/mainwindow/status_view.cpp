#include "dialog/mainwindow/status_view.h"

#include <cmath>

#include "common/messages.h"
#include "common/numbers.h"

namespace {

// Anything a scale can reasonably reach; beyond it a truncation to int would overflow.
constexpr double ScaleCeiling = 1000000.0;

int TruncatedScale(double value) {
    if (!(value < ScaleCeiling)) return static_cast<int>(ScaleCeiling);
    return static_cast<int>(std::trunc(value));
}

bool NotReported(float value) {
    return value == -1.0f || std::isnan(value);
}

} // namespace

TVoltageScale VoltageScale(float v) {
    if (NotReported(v)) return {300, false};
    if (v < 140) return {150, true};
    if (v < 260) return {300, true};
    return {TruncatedScale(static_cast<double>(v) * 1.5), true};
}

TBatteryScale BatteryScale(float b) {
    if (NotReported(b)) return {std::nullopt, false};
    if (b < 10) return {12, true};
    if (b < 13) return {15, true};
    if (b < 30) return {36, true};
    return {TruncatedScale(static_cast<double>(b) * 1.5), true};
}

TFrequencyRange FrequencyRange(float f) {
    // An infinite or absurd frequency is no reading either.
    if (NotReported(f) || !std::isfinite(f) || std::fabs(f) > ScaleCeiling) return {45, 55, false};
    return {static_cast<double>(f) - 5.0, static_cast<double>(f) + 5.0, true};
}

std::optional<TBatteryLimits> DefaultBatteryLimits(float b, float minLimit, float maxLimit) {
    if (minLimit != 0.0f || maxLimit != 0.0f || !(b > 0.0f) || !std::isfinite(b))
        return std::nullopt;
    const float min = b - b / 6.0f;
    const float max = b + b / 8.0f;
    return TBatteryLimits{min, max};
}

std::string_view UpsTypeText(std::uint16_t flags) {
    return (flags & UPS_STANDBY) ? "Stand By / Line interactive" : "Online";
}

std::string FieldNumber(float value, int decimals) {
    if (!std::isfinite(value)) return "—";
    return FormatFixed(static_cast<double>(value), decimals);
}

int GaugePercent(std::uint8_t value) {
    if (value == 255) return 0; // the UPS sent no number
    return value > 100 ? 100 : value;
}

TLinkStateView LinkStateView(std::int64_t state, bool calibrating) {
    const std::string plain(MainCaption);
    switch (state) {
    case LINK_UP:
        return {true, plain, {}, {}, false};
    case LINK_NOANSWER:
        if (calibrating)
            return {false, plain + ": Нет ответа от UPS.",
                    "UPS прекратил реагировать на запросы. Вероятно батарея истощилась и он "
                    "отключился.\rКалибровка батареи успешно завершена.",
                    "Внимание!", true};
        return {false, plain + ": Нет ответа от UPS.", "Нет ответа от UPS.", "Ошибка!", false};
    case LINK_NOPORT:
        return {false, plain + ": Не удалось открыть порт.", "Не удалось открыть порт.", "Ошибка!",
                false};
    default:
        return {false, {}, {}, {}, false}; // greyed, caption unchanged
    }
}
