#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// A length-prefixed text in a fixed area: one length byte, then MaxLen characters.
// Only the first Length characters count; the rest of the area may hold anything
// (left-overs of an older, longer text) and is never read. A length byte larger
// than the area, as a damaged file may hold, is taken as the full area.
template <std::size_t MaxLen> struct TShortString {
    static_assert(MaxLen >= 1 && MaxLen <= 255, "the length must fit in one byte");
    static constexpr std::size_t Capacity = MaxLen;

    std::uint8_t Length;
    char Chars[MaxLen];

    std::size_t Size() const { return std::min<std::size_t>(Length, MaxLen); }
    std::string_view View() const { return std::string_view(Chars, Size()); }
    std::string Str() const { return std::string(View()); }
    bool Empty() const { return Size() == 0; }

    // Cuts the text to the area; the bytes behind the new length are left as they were.
    void Assign(std::string_view text) {
        const std::size_t n = std::min(text.size(), MaxLen);
        if (n > 0) std::memcpy(Chars, text.data(), n);
        Length = static_cast<std::uint8_t>(n);
    }
    void Clear() { Length = 0; }
    TShortString& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }
};
