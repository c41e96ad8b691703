#include "monitor/app/ini_reader.h"

std::string ReadIniValue(IFileSystem&, const std::string&, std::string_view) { return {}; }
std::string FindIniValue(std::string_view, std::string_view) { return {}; }
