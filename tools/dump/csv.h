#pragma once
#include <string>
#include <string_view>
#include <vector>

// One field as RFC 4180 wants it: quoted, with inner quotes doubled, when it holds a
// comma, a quote or a line break; as it is otherwise.
std::string CsvField(std::string_view field);

// The fields quoted as needed and joined by commas (no line end).
std::string CsvRow(const std::vector<std::string>& fields);
