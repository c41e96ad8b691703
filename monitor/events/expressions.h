#pragma once
#include <string>
#include <string_view>

#include "common/records.h"

class IClock;

// Replaces every "$" macro with the current value, in the fixed order of the macros.
std::string SubstituteMacros(std::string_view text, const TUpsStatus& status, IClock& clock);

// Operator codes 0-5: =, >, >=, <, <=, <>. An unknown code compares false.
bool CompareValues(int op, float value, float number);

// True when "variable operator number" was false for the previous status and is true now.
bool EvaluateExpression(std::string_view text, const TUpsStatus& previous,
                        const TUpsStatus& current);
