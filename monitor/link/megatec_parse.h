#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/records.h"

// The Megatec command text for a command number and argument, with its CR, or nothing
// when the number has no text of its own (above CMD_CUSTOM) or needs an argument that
// is missing.
std::optional<std::string> BuildCommandText(std::uint8_t number, const char* argument);

// Whether an answer is acceptable for the command (length, first byte, echo check).
bool IsValidAnswer(std::uint8_t number, std::string_view answer, bool complete,
                   std::string_view sentText);

// Parsing of validated answers into the records. Fields that are not numbers give -1
// (255 for the load). Only the fields the line carries are written.
void ParseStatusLine(std::string_view line, std::uint8_t altTransDiff, TUpsStatus& status);
void ParseInfoLine(std::string_view line, TUpsInfo& info);
void ParseRatingLine(std::string_view line, TUpsRating& rating);
