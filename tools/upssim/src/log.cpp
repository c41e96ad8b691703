#include "log.hpp"

namespace upssim {

std::string escape(std::string_view bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += ch;
            break;
        default:
            if (c >= 0x20 && c < 0x7f) {
                out += ch;
            } else {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 15];
            }
        }
    }
    return out;
}

void Logger::line(double seconds, std::string_view tag, std::string_view text) {
    if (!out_) return;
    std::fprintf(out_, "%.3f %.*s %.*s\n", seconds, static_cast<int>(tag.size()), tag.data(),
                 static_cast<int>(text.size()), text.data());
    // Tests and people tail the log while the simulator runs.
    std::fflush(out_);
}

} // namespace upssim
