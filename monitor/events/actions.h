#pragma once
#include <string>
#include <string_view>

// Program and arguments of an action's command line; a quoted program may hold blanks.
struct CommandLine {
    std::string Program;
    std::string Arguments;
};
CommandLine SplitCommandLine(std::string_view text);
