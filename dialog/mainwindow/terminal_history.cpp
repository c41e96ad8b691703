#include "dialog/mainwindow/terminal_history.h"

#include <algorithm>
#include <array>

std::string TTermLine::Text() const {
    std::string text;
    for (const TTermRun& run : Runs)
        text += run.Text;
    return text;
}

std::size_t TTermLine::Size() const {
    std::size_t n = 0;
    for (const TTermRun& run : Runs)
        n += run.Text.size();
    return n;
}

namespace {

// RTF's words for the typographic characters, as Windows-1251 has them.
struct TSymbolWord {
    std::string_view Word;
    unsigned char Cp1251;
};
constexpr TSymbolWord SymbolWords[] = {
    {"lquote", 0x91}, {"rquote", 0x92}, {"ldblquote", 0x93}, {"rdblquote", 0x94},
    {"bullet", 0x95}, {"endash", 0x96}, {"emdash", 0x97},
};

void AppendChar(TTermLine& line, char c, std::uint32_t color) {
    if (line.Runs.empty() || line.Runs.back().Color != color) line.Runs.push_back({{}, color});
    line.Runs.back().Text += c;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Text of a printable character; control characters other than the tab are left out.
bool Printable(unsigned char c) {
    return c >= 0x20 || c == '\t';
}

// Destinations whose text is not part of the document (besides every "\*" group).
constexpr std::string_view SkippedDestinations[] = {
    "fonttbl", "stylesheet", "info",         "pict",      "object",    "header",
    "headerl", "headerr",    "headerf",      "footer",    "footerl",   "footerr",
    "footerf", "footnote",   "filetbl",      "revtbl",    "listtable", "listoverridetable",
    "rsidtbl", "themedata",  "latentstyles", "datastore", "xmlnstbl",  "fldinst",
};

// A tolerant RTF reader: one pass, no recursion, bounded state.
class TRtfReader {
public:
    explicit TRtfReader(std::string_view in) : in_(in) {}

    TTermHistory Read() {
        history_.emplace_back();
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            switch (c) {
            case '{':
                Open();
                break;
            case '}':
                CloseGroup();
                break;
            case '\\':
                Control();
                break;
            case '\r':
            case '\n':
                break; // line ends in the file carry no meaning
            default:
                Char(static_cast<unsigned char>(c));
                break;
            }
        }
        return std::move(history_);
    }

private:
    enum class TDest { Text, Skip, ColorTable };
    struct TState {
        int Color = -1; // index into the colour table; -1 = none
        TDest Dest = TDest::Text;
        int UnicodeSkip = 1; // \ucN: fallback characters after each \uN
        bool GroupStart = false;
    };
    // Deeper groups than this share the deepest state; only their count is kept.
    static constexpr std::size_t MaxDepth = 64;

    void Open() {
        skipPending_ = 0;
        if (stack_.size() >= MaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(state_);
        state_.GroupStart = true;
    }

    void CloseGroup() {
        skipPending_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.empty()) return; // more closing braces than opening ones
        if (state_.Dest == TDest::ColorTable && entry_.Any) EndColorEntry();
        state_ = stack_.back();
        stack_.pop_back();
    }

    void Control() {
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (IsLetter(c)) {
            Word();
            return;
        }
        ++pos_;
        switch (c) {
        case '\'': {
            if (pos_ + 1 < in_.size()) {
                const int hi = HexValue(in_[pos_]), lo = HexValue(in_[pos_ + 1]);
                if (hi >= 0 && lo >= 0) {
                    pos_ += 2;
                    Char(static_cast<unsigned char>(hi * 16 + lo));
                }
            }
            return;
        }
        case '\\':
        case '{':
        case '}':
            Char(static_cast<unsigned char>(c));
            return;
        case '~':
            Char(' ');
            return;
        case '_':
            Char('-');
            return;
        case '*':
            state_.Dest = TDest::Skip;
            return;
        case '\r':
        case '\n':
            NewLine();
            return;
        default:
            return; // \- \: \| and the unknown ones
        }
    }

    void Word() {
        std::array<char, 33> name{};
        std::size_t n = 0;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) {
            if (n + 1 < name.size()) name[n++] = in_[pos_];
            ++pos_;
        }
        bool negative = false, hasNumber = false;
        long long number = 0;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
            IsDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            hasNumber = true;
            if (number < 100000000) number = number * 10 + (in_[pos_] - '0');
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        const std::string_view word(name.data(), n);
        const long long value = negative ? -number : number;
        Apply(word, hasNumber, value);
    }

    void Apply(std::string_view word, bool hasNumber, long long value) {
        const bool first = state_.GroupStart;
        state_.GroupStart = false;
        if (word == "bin") {
            // Binary data of that many bytes follows; it may hold braces.
            const std::size_t skip = value > 0 ? static_cast<std::size_t>(value) : 0;
            pos_ = std::min(in_.size(), pos_ + skip);
            return;
        }
        if (first) {
            if (word == "colortbl") {
                state_.Dest = TDest::ColorTable;
                colors_.clear();
                entry_ = {};
                return;
            }
            if (std::find(std::begin(SkippedDestinations), std::end(SkippedDestinations), word) !=
                std::end(SkippedDestinations)) {
                state_.Dest = TDest::Skip;
                return;
            }
        }
        if (state_.Dest == TDest::ColorTable) {
            const int component = static_cast<int>(std::clamp<long long>(value, 0, 255));
            if (word == "red") entry_.Red = component, entry_.Any = true;
            if (word == "green") entry_.Green = component, entry_.Any = true;
            if (word == "blue") entry_.Blue = component, entry_.Any = true;
            return;
        }
        if (word == "uc") {
            state_.UnicodeSkip = static_cast<int>(std::clamp<long long>(value, 0, 10));
            return;
        }
        if (state_.Dest == TDest::Skip) return;
        if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row") {
            NewLine();
        } else if (word == "tab" || word == "cell") {
            Char('\t');
        } else if (word == "cf") {
            state_.Color =
                hasNumber ? static_cast<int>(std::clamp<long long>(value, -1, 100000)) : 0;
        } else if (word == "plain") {
            state_.Color = -1;
        } else if (word == "u" && hasNumber) {
            const long long code = value < 0 ? value + 65536 : value;
            const char mapped = Cp1251FromUnicode(
                static_cast<std::uint32_t>(std::clamp<long long>(code, 0, 0x10FFFF)));
            if (Printable(static_cast<unsigned char>(mapped))) Emit(mapped);
            skipPending_ = state_.UnicodeSkip;
        } else {
            for (const TSymbolWord& symbol : SymbolWords)
                if (word == symbol.Word) Char(symbol.Cp1251);
        }
    }

    // A character of the text (or of a colour table entry's separator).
    void Char(unsigned char c) {
        state_.GroupStart = false;
        if (state_.Dest == TDest::ColorTable) {
            if (c == ';') EndColorEntry();
            return;
        }
        if (skipPending_ > 0) {
            --skipPending_; // the fallback of a \uN already shown
            return;
        }
        if (state_.Dest != TDest::Text || !Printable(c)) return;
        Emit(static_cast<char>(c));
    }

    void Emit(char c) {
        if (state_.Dest != TDest::Text) return;
        AppendChar(history_.back(), c, CurrentColor());
    }

    void NewLine() { history_.emplace_back(); }

    std::uint32_t CurrentColor() const {
        if (state_.Color < 0 || static_cast<std::size_t>(state_.Color) >= colors_.size())
            return TermDefaultColor;
        return colors_[static_cast<std::size_t>(state_.Color)];
    }

    void EndColorEntry() {
        // An entry without components is the "automatic" colour.
        colors_.push_back(entry_.Any ? static_cast<std::uint32_t>(entry_.Red | (entry_.Green << 8) |
                                                                  (entry_.Blue << 16))
                                     : TermDefaultColor);
        entry_ = {};
    }

    struct TColorEntry {
        int Red = 0, Green = 0, Blue = 0;
        bool Any = false;
    };

    std::string_view in_;
    std::size_t pos_ = 0;
    TState state_;
    std::vector<TState> stack_;
    std::size_t overflow_ = 0;
    int skipPending_ = 0;
    std::vector<std::uint32_t> colors_;
    TColorEntry entry_;
    TTermHistory history_;
};

TTermHistory ParsePlainText(std::string_view in) {
    TTermHistory history(1);
    for (std::size_t i = 0; i < in.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
            history.emplace_back();
        } else if (Printable(c)) {
            AppendChar(history.back(), static_cast<char>(c), TermDefaultColor);
        }
    }
    return history;
}

// Drops the first `count` characters of a line.
void DropFront(TTermLine& line, std::size_t count) {
    auto run = line.Runs.begin();
    while (count > 0 && run != line.Runs.end()) {
        if (run->Text.size() <= count) {
            count -= run->Text.size();
            run = line.Runs.erase(run);
        } else {
            run->Text.erase(0, count);
            count = 0;
        }
    }
}

void AppendRtfText(std::string& out, std::string_view text) {
    static const char Hex[] = "0123456789abcdef";
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += ch;
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c >= 0x80) {
            out += "\\'";
            out += Hex[c >> 4];
            out += Hex[c & 15];
        } else if (c >= 0x20) {
            out += ch;
        }
    }
}

} // namespace

bool LooksLikeRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

TTermHistory ParseHistory(std::string_view bytes) {
    return LooksLikeRtf(bytes) ? TRtfReader(bytes).Read() : ParsePlainText(bytes);
}

void TrimHistory(TTermHistory& history, std::size_t maxLines, std::size_t maxChars) {
    while (history.size() >= 2 && history.back().Size() == 0 &&
           history[history.size() - 2].Size() == 0)
        history.pop_back();
    if (history.size() > maxLines)
        history.erase(history.begin(), history.end() - static_cast<std::ptrdiff_t>(maxLines));
    // The newest lines whose characters (and line breaks) fit.
    std::size_t total = 0, keep = 0;
    for (std::size_t i = history.size(); i-- > 0;) {
        const std::size_t size = history[i].Size() + (i + 1 < history.size() ? 1 : 0);
        if (total + size > maxChars) {
            if (keep == 0 || total < maxChars) {
                // The oldest line kept loses its start.
                DropFront(history[i], std::min(history[i].Size(), total + size - maxChars));
                ++keep;
            }
            break;
        }
        total += size;
        ++keep;
    }
    if (keep < history.size())
        history.erase(history.begin(), history.end() - static_cast<std::ptrdiff_t>(keep));
}

std::string HistoryToRtf(const TTermHistory& history, std::uint32_t defaultColor) {
    std::vector<std::uint32_t> colors{defaultColor};
    auto indexOf = [&](std::uint32_t color) {
        if (color == TermDefaultColor) color = defaultColor;
        const auto at = std::find(colors.begin(), colors.end(), color);
        if (at != colors.end()) return static_cast<std::size_t>(at - colors.begin()) + 1;
        colors.push_back(color);
        return colors.size();
    };
    std::string body;
    std::size_t current = 0;
    for (std::size_t i = 0; i < history.size(); ++i) {
        if (i > 0) body += "\\par\n";
        for (const TTermRun& run : history[i].Runs) {
            const std::size_t index = indexOf(run.Color);
            if (index != current) {
                body += "\\cf" + std::to_string(index) + ' ';
                current = index;
            }
            AppendRtfText(body, run.Text);
        }
    }
    std::string out = "{\\rtf1\\ansi\\ansicpg1251\\deff0"
                      "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset204 Courier New;}}\n{\\colortbl ;";
    for (const std::uint32_t c : colors)
        out += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) +
               "\\blue" + std::to_string((c >> 16) & 0xFF) + ';';
    out += "}\n\\pard\\plain\\f0\\fs16\\b\\cf1 ";
    out += body;
    out += "}";
    return out;
}

char Cp1251FromUnicode(std::uint32_t code) {
    if (code < 0x80) return static_cast<char>(code);
    if (code >= 0x0410 && code <= 0x044F) return static_cast<char>(0xC0 + (code - 0x0410));
    struct TPair {
        std::uint32_t Unicode;
        unsigned char Byte;
    };
    static constexpr TPair Others[] = {
        {0x0401, 0xA8}, {0x0451, 0xB8}, {0x0404, 0xAA}, {0x0454, 0xBA}, {0x0406, 0xB2},
        {0x0456, 0xB3}, {0x0407, 0xAF}, {0x0457, 0xBF}, {0x040E, 0xA1}, {0x045E, 0xA2},
        {0x0490, 0xA5}, {0x0491, 0xB4}, {0x00A0, 0xA0}, {0x00AB, 0xAB}, {0x00BB, 0xBB},
        {0x00B0, 0xB0}, {0x00A7, 0xA7}, {0x00A9, 0xA9}, {0x00AE, 0xAE}, {0x00B1, 0xB1},
        {0x00B5, 0xB5}, {0x00B6, 0xB6}, {0x00B7, 0xB7}, {0x2116, 0xB9}, {0x2013, 0x96},
        {0x2014, 0x97}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201A, 0x82}, {0x201C, 0x93},
        {0x201D, 0x94}, {0x201E, 0x84}, {0x2020, 0x86}, {0x2021, 0x87}, {0x2022, 0x95},
        {0x2026, 0x85}, {0x2030, 0x89}, {0x2039, 0x8B}, {0x203A, 0x9B}, {0x20AC, 0x88},
        {0x2122, 0x99},
    };
    for (const TPair& p : Others)
        if (p.Unicode == code) return static_cast<char>(p.Byte);
    return '?';
}
