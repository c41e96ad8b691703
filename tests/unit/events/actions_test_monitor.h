#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "monitor/link/megatec_mon.h"
#include "support/fake_platform.h"

inline TEventRule MakeRule(std::uint16_t id, std::uint8_t source, std::uint8_t action,
                           std::string_view parameter = {}) {
    TEventRule r{};
    r.Id = id;
    r.Source = source;
    r.Action = action;
    r.Parameter = parameter;
    return r;
}

inline TCustomCommand MakeCommand(std::uint16_t id, std::uint8_t code,
                                  std::string_view parameter = {}) {
    TCustomCommand c{};
    c.Id = id;
    c.Code = code;
    c.Parameter = parameter;
    return c;
}

template <typename T> std::string Bytes(const std::vector<T>& records) {
    return std::string(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(T));
}

// The monitor with its lists and state in reach.
class ActionMonitor : public TMegaTecMon {
public:
    using TKovrin::commands_;
    using TKovrin::rules_;
    using TKovrin::status_;
    using TKovrin::suspended_;
    using TMegaTecMon::TMegaTecMon;
};
