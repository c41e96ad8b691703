#include "monitor/events/actions.h"

namespace {

// Blanks and control characters, as the command line's trimming sees them. Bytes above
// 0x7F are letters of the code page, hence the unsigned look.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string Trim(std::string_view s) {
    s = TrimLeft(s);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return std::string(s);
}

} // namespace

CommandLine SplitCommandLine(std::string_view text) {
    text = TrimLeft(text);
    if (text.empty()) return {};

    std::string_view program, arguments;
    // A quoted program may hold blanks; a quote left open takes the rest of the line.
    const bool quoted = text.front() == '"';
    const std::size_t start = quoted ? 1 : 0;
    const std::size_t end = text.find(quoted ? '"' : ' ', start);
    if (end == std::string_view::npos) {
        program = text.substr(start);
    } else {
        program = text.substr(start, end - start);
        arguments = text.substr(end + 1);
    }
    return {Trim(program), Trim(arguments)};
}
