#pragma once
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// One record of a data file as a line of text or as CSV fields. Each function takes
// exactly one record's bytes, as stored in the file.

std::string JournalLine(std::string_view record);
std::vector<std::string> JournalCsv(std::string_view record);

std::string StatsLine(std::string_view record);
std::vector<std::string> StatsCsv(std::string_view record);

std::string RuleLine(std::string_view record);
std::vector<std::string> RuleCsv(std::string_view record);

std::string CommandLine(std::string_view record);
std::vector<std::string> CommandCsv(std::string_view record);

// A packed record copied out of the file bytes; its fields are then read by value.
template <typename T> T DecodeRecord(std::string_view bytes) {
    T record{};
    std::memcpy(&record, bytes.data(), bytes.size() < sizeof record ? bytes.size() : sizeof record);
    return record;
}

// A caption from a table indexed by code, "?" for a code outside it.
template <std::size_t N>
std::string_view CaptionOf(const std::string_view (&table)[N], unsigned code) {
    return code < N ? table[code] : std::string_view("?");
}
