#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/dump/file_kind.h"

struct DumpFile {
    std::string Path;
    const KindInfo* Kind;
};

struct DumpOptions {
    bool Csv = false;
    bool Follow = false;
    bool Help = false;
    std::vector<DumpFile> Files;
};

// The command line without the program name. A usage error gives no options and the
// reason in `error`.
std::optional<DumpOptions> ParseArguments(const std::vector<std::string>& args, std::string& error);

extern const std::string_view UsageText;
