// One line per event: "<seconds since start> <tag> <text>".
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace upssim {

// Printable ASCII stays, except '"' and '\\'; CR, LF and TAB become \r \n \t,
// everything else \xNN. The result is always one safe line.
std::string escape(std::string_view bytes);
inline std::string quoted(std::string_view bytes) {
    return "\"" + escape(bytes) + "\"";
}

class Logger {
public:
    explicit Logger(std::FILE* out = nullptr) : out_(out) {}
    void set_output(std::FILE* out) { out_ = out; }
    void line(double seconds, std::string_view tag, std::string_view text);

private:
    std::FILE* out_;
};

} // namespace upssim
