#pragma once
#include <string>
#include <string_view>

class IFileSystem;

// The value of the first line of the settings file that carries the key, or an empty
// text. Section headers mean nothing to this reader; a key matches any line that starts
// with it, case-insensitively. The file is opened and scanned anew for every key.
std::string ReadIniValue(IFileSystem& files, const std::string& path, std::string_view key);

// The same scan over text already in memory.
std::string FindIniValue(std::string_view content, std::string_view key);
