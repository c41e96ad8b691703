#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The words of one request line of the network UPS protocol: blanks (space, tab) separate
// words, double quotes group blanks into a word (an empty pair is an empty word), and a
// backslash takes the next character as it is, inside quotes or out. A backslash at the
// very end escapes nothing and is dropped.
enum class TSplitResult { Ok, Unbalanced, TooManyWords };
inline constexpr std::size_t MaxRequestWords = 16;
TSplitResult SplitRequest(std::string_view line, std::vector<std::string>& words);

// A value as a reply carries it: in double quotes, with backslashes and double quotes
// escaped. Control characters, which would break the line, become blanks.
std::string QuoteValue(std::string_view value);

// Command words, UPS, variable and command names compare without regard to ASCII case.
bool SameWord(std::string_view a, std::string_view b);

// Compares a secret with the expected one in a time that depends only on their lengths
// (not on where they first differ).
bool SameSecret(std::string_view given, std::string_view expected);
