#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "monitor/netserver/snapshot.h"

// The variables the server offers, in the order LIST VAR gives them, each read from the
// snapshot. A variable the UPS has not told (a field it left without a number, a rating
// it never sent) is absent: GET answers VAR-NOT-SUPPORTED and LIST leaves it out.
struct TVariableDef {
    std::string_view Name;
    std::string_view Description; // GET DESC
    // 0: a number (GET TYPE answers NUMBER); otherwise a text of at most this length.
    std::size_t TextLength;
    std::optional<std::string> (*Read)(const TNetSnapshot& snapshot, bool forcedShutdown);
};

std::span<const TVariableDef> VariableTable();
const TVariableDef* FindVariable(std::string_view name); // ASCII case does not matter

// The value of "ups.status": FSD first when set, then OL or OB, then LB, CAL (a battery
// test runs), TRIM or BOOST, and OFF when the output is off.
std::string StatusWords(const TUpsStatus& status, bool forcedShutdown);
