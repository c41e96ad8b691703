#include "monitor/events/expressions.h"

std::string SubstituteMacros(std::string_view text, const TUpsStatus&, IClock&) {
    return std::string(text);
}
bool CompareValues(int, float, float) { return false; }
bool EvaluateExpression(std::string_view, const TUpsStatus&, const TUpsStatus&) { return false; }
