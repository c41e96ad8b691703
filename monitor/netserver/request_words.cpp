#include "monitor/netserver/request_words.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

TSplitResult SplitRequest(std::string_view line, std::vector<std::string>& words) {
    words.clear();
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i >= line.size()) return TSplitResult::Ok;
        if (words.size() == MaxRequestWords) return TSplitResult::TooManyWords;
        std::string word;
        bool quoted = false;
        for (; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '\\') {
                if (++i == line.size()) break;
                word += line[i];
            } else if (c == '"') {
                quoted = !quoted;
            } else if (!quoted && IsBlank(c)) {
                break;
            } else {
                word += c;
            }
        }
        if (quoted) return TSplitResult::Unbalanced;
        words.push_back(std::move(word));
    }
}

std::string QuoteValue(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 2);
    out += '"';
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') out += '\\';
        out += u < ' ' || u == 0x7F ? ' ' : c;
    }
    out += '"';
    return out;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool SameSecret(std::string_view given, std::string_view expected) {
    unsigned difference = given.size() == expected.size() ? 0u : 1u;
    const std::size_t n = given.size() > expected.size() ? given.size() : expected.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto g = static_cast<unsigned char>(i < given.size() ? given[i] : 0);
        const auto e = static_cast<unsigned char>(i < expected.size() ? expected[i] : 0);
        difference |= static_cast<unsigned>(g ^ e);
    }
    return difference == 0;
}
