#include "dialog/ui/edit_mask.h"

#include <algorithm>

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

TEditMask::TEditMask(std::string_view mask, char dateSeparator, char timeSeparator) {
    std::string_view body = mask;
    const std::size_t semi = mask.find(';');
    if (semi != std::string_view::npos) {
        body = mask.substr(0, semi);
        const std::size_t second = mask.find(';', semi + 1);
        if (second != std::string_view::npos && second + 1 < mask.size()) blank_ = mask[second + 1];
    }
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '!' || c == '>' || c == '<') continue; // case and alignment: no use for digits
        if (c == '\\' && i + 1 < body.size()) {
            pattern_ += body[++i];
            places_ += '\0';
        } else if (c == '0' || c == '9') {
            pattern_ += blank_;
            places_ += '\1';
        } else {
            pattern_ += c == '/' ? dateSeparator : c == ':' ? timeSeparator : c;
            places_ += '\0';
        }
    }
}

std::string TEditMask::Empty() const {
    return pattern_;
}

std::size_t TEditMask::NextPlace(std::size_t pos) const {
    while (pos < Length() && !IsPlace(pos))
        ++pos;
    return pos;
}

std::string TEditMask::Apply(std::string_view text) const {
    std::string shown = Empty();
    bool aligned = text.size() == Length();
    for (std::size_t i = 0; aligned && i < Length(); ++i)
        if (!IsPlace(i) && text[i] != pattern_[i]) aligned = false;
    if (aligned) {
        for (std::size_t i = 0; i < Length(); ++i)
            if (IsPlace(i) && IsDigit(text[i])) shown[i] = text[i];
        return shown;
    }
    std::size_t pos = NextPlace(0);
    for (char c : text) {
        if (!IsDigit(c)) continue;
        if (pos >= Length()) break;
        shown[pos] = c;
        pos = NextPlace(pos + 1);
    }
    return shown;
}

void TEditMask::Clear(std::string& shown, std::size_t start, std::size_t end) const {
    end = std::min(end, Length());
    for (std::size_t i = start; i < end; ++i)
        if (IsPlace(i)) shown[i] = blank_;
}

std::size_t TEditMask::Type(std::string& shown, std::size_t start, std::size_t end, char c) const {
    if (!IsDigit(c) || shown.size() != Length()) return start;
    const std::size_t pos = NextPlace(start);
    if (pos >= Length()) return start;
    Clear(shown, start, end);
    shown[pos] = c;
    return NextPlace(pos + 1) < Length() ? NextPlace(pos + 1) : pos + 1;
}

std::size_t TEditMask::Backspace(std::string& shown, std::size_t start, std::size_t end) const {
    if (shown.size() != Length()) return start;
    if (start < end) {
        Clear(shown, start, end);
        return start;
    }
    std::size_t pos = std::min(start, Length());
    while (pos > 0 && !IsPlace(pos - 1))
        --pos;
    if (pos == 0) return start;
    shown[pos - 1] = blank_;
    return pos - 1;
}

std::size_t TEditMask::Delete(std::string& shown, std::size_t start, std::size_t end) const {
    if (shown.size() != Length()) return start;
    if (start < end) {
        Clear(shown, start, end);
        return start;
    }
    const std::size_t pos = NextPlace(start);
    if (pos < Length()) shown[pos] = blank_;
    return start;
}

std::size_t TEditMask::Paste(std::string& shown, std::size_t start, std::size_t end,
                             std::string_view text) const {
    if (shown.size() != Length()) return start;
    Clear(shown, start, end);
    std::size_t caret = start;
    for (char c : text)
        if (IsDigit(c)) {
            if (NextPlace(caret) >= Length()) break;
            caret = Type(shown, caret, caret, c);
        }
    return caret;
}

std::string TEditMask::Value(std::string_view shown) const {
    std::string out(shown);
    for (std::size_t i = 0; i < out.size() && i < Length(); ++i)
        if (IsPlace(i) && out[i] == blank_) out[i] = ' ';
    return out;
}
