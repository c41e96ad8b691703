#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers in texts always use "." as the decimal separator, whatever the locale:
// formatting and parsing here never consult it.

// The text without the blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view s);

// The patterns "0", "0.0" and "0.00": at least one digit before the point, exactly
// `decimals` digits after it, rounded to nearest. Not-a-number prints as "NAN".
std::string FormatFixed(double value, int decimals);

// A whole text as a decimal number: optional blanks around, optional sign, digits with
// an optional "." part and an optional exponent. Anything else gives no value.
std::optional<double> ParseDecimal(std::string_view text);

// A whole text as a decimal integer: optional blanks around, optional sign, digits.
// Values outside the 32-bit range give no value.
std::optional<std::int32_t> ParseInteger(std::string_view text);

inline double ParseDecimalOr(std::string_view text, double fallback) {
    return ParseDecimal(text).value_or(fallback);
}
inline std::int32_t ParseIntegerOr(std::string_view text, std::int32_t fallback) {
    return ParseInteger(text).value_or(fallback);
}
