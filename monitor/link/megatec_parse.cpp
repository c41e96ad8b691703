#include "monitor/link/megatec_parse.h"

std::optional<std::string> BuildCommandText(std::uint8_t, const char*) { return std::nullopt; }
bool IsValidAnswer(std::uint8_t, std::string_view, bool, std::string_view) { return false; }
void ParseStatusLine(std::string_view, std::uint8_t, TUpsStatus&) {}
void ParseInfoLine(std::string_view, TUpsInfo&) {}
void ParseRatingLine(std::string_view, TUpsRating&) {}
