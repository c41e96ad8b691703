#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The four binary data files the dump understands, one row of a table each.
enum class FileKind { Journal, Stats, Rules, Commands };

struct KindInfo {
    FileKind Kind;
    std::string_view FileName; // as the programs name it, matched without regard to case
    std::string_view Option;   // the command-line option that forces this kind
    std::size_t RecordSize;
    std::size_t ReadLimit; // records the programs use; 0 = all
    bool Growing;          // appended to while the monitor runs, so worth following
    std::string_view CsvHeader;
    std::string (*Line)(std::string_view record);
    std::vector<std::string> (*CsvFields)(std::string_view record);
};

const KindInfo& KindOf(FileKind kind);

// By the last component of a path ("/x/KOVRIN.LGB" is a journal); null when unknown.
const KindInfo* KindByFileName(std::string_view path);

// By an option such as "--stats"; null when it names no kind.
const KindInfo* KindByOption(std::string_view option);
