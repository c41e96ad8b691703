// The terminal's history file ("Term.ups") as the terminal page opens it: read as RTF or
// as plain text, trimmed to what the window shows, and written out as the small RTF
// document the rich edit control gets.
//
// Input: byte 0 = flags (01 the file starts with "{\rtf1 " before the rest), byte 1 = most
// lines kept (0: the window's limit), byte 2 = most characters kept in eights (0: the
// window's limit), bytes 3-5 = the terminal's own text colour (red, green, blue), then the
// file's contents.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dialog/mainwindow/terminal_history.h"
#include "fuzz_support.h"

namespace {

bool Printable(char c) {
    return static_cast<unsigned char>(c) >= 0x20 || c == '\t';
}

// A line as its characters, each with the colour it shows in (the terminal's own colour
// for text that names none).
using TColoredText = std::vector<std::pair<char, std::uint32_t>>;

TColoredText Colored(const TTermLine& line, std::uint32_t defaultColor) {
    TColoredText out;
    out.reserve(line.Size());
    for (const TTermRun& run : line.Runs)
        for (const char c : run.Text)
            out.emplace_back(c, run.Color == TermDefaultColor ? defaultColor : run.Color);
    return out;
}

std::size_t Characters(const TTermHistory& h) {
    std::size_t n = 0;
    for (const TTermLine& line : h)
        n += line.Size();
    return n;
}

// Runs hold text, each character one a line can show, each colour a plain RGB value or
// none; the reader starts a run only where the colour changes.
void CheckRuns(const TTermHistory& h, bool merged) {
    for (const TTermLine& line : h) {
        FUZZ_CHECK(line.Size() == line.Text().size());
        for (std::size_t r = 0; r < line.Runs.size(); ++r) {
            const TTermRun& run = line.Runs[r];
            FUZZ_CHECK(!run.Text.empty());
            FUZZ_CHECK(run.Color == TermDefaultColor || run.Color <= 0x00FFFFFFu);
            for (const char c : run.Text)
                FUZZ_CHECK(Printable(c));
            if (merged && r > 0) FUZZ_CHECK(line.Runs[r - 1].Color != run.Color);
        }
    }
}

// Plain text: a line per line end (CR LF counting once), and all the printable text in
// its order.
void CheckPlain(std::string_view bytes, const TTermHistory& h) {
    std::size_t breaks = 0;
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            ++breaks;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (Printable(c)) {
            text += c;
        }
    }
    FUZZ_CHECK(h.size() == breaks + 1);
    std::string read;
    for (const TTermLine& line : h) {
        read += line.Text();
        for (const TTermRun& run : line.Runs)
            FUZZ_CHECK(run.Color == TermDefaultColor);
    }
    FUZZ_CHECK(read == text);
}

// The document handed to the control: 7-bit text, every line end a LF, braces that pair
// up (escaped ones aside), the whole in one group.
void CheckDocument(const std::string& rtf) {
    FUZZ_CHECK(LooksLikeRtf(rtf));
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(rtf[i]);
        FUZZ_CHECK(c < 0x80);
        FUZZ_CHECK(c >= 0x20 || c == '\n');
        if (c == '\\') {
            ++i; // the escaped character, whatever it is
            FUZZ_CHECK(i < rtf.size());
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            FUZZ_CHECK(--depth >= 0);
            if (depth == 0) FUZZ_CHECK(i + 1 == rtf.size());
        }
    }
    FUZZ_CHECK(depth == 0);
}

// The trimmed history is the newest part of the read one: whole lines but for the
// oldest kept, which may have lost its start; within both limits; and as much as the
// limits allow.
void CheckTrimmed(const TTermHistory& read, const TTermHistory& trimmed, std::size_t maxLines,
                  std::size_t maxChars) {
    std::size_t lines = read.size(); // but for empty lines at the end beyond one
    while (lines >= 2 && read[lines - 1].Size() == 0 && read[lines - 2].Size() == 0)
        --lines;
    FUZZ_CHECK(trimmed.size() <= maxLines);
    FUZZ_CHECK(trimmed.size() <= lines);
    const std::size_t shown = trimmed.empty() ? 0 : Characters(trimmed) + trimmed.size() - 1;
    FUZZ_CHECK(shown <= maxChars);
    const std::size_t skipped = lines - trimmed.size();
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        const TColoredText kept = Colored(trimmed[i], 0), was = Colored(read[skipped + i], 0);
        if (i == 0) {
            FUZZ_CHECK(kept.size() <= was.size());
            FUZZ_CHECK(std::equal(kept.begin(), kept.end(), was.end() - kept.size()));
        } else {
            FUZZ_CHECK(kept == was);
        }
    }
    if (trimmed.size() < std::min(maxLines, lines) ||
        (!trimmed.empty() && trimmed[0].Size() < read[skipped].Size()))
        FUZZ_CHECK(shown == maxChars);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const std::uint8_t flags = in.Byte();
    const std::uint8_t lines = in.Byte(), chars = in.Byte();
    const std::size_t maxLines = lines ? lines : TermHistoryMaxLines;
    const std::size_t maxChars = chars ? chars * std::size_t{8} : TermHistoryMaxChars;
    std::uint32_t defaultColor = in.Byte();
    defaultColor |= in.Byte() << 8;
    defaultColor |= static_cast<std::uint32_t>(in.Byte()) << 16;
    std::string bytes = in.Rest();
    if (flags & 1) bytes.insert(0, "{\\rtf1 ");

    TTermHistory history = ParseHistory(bytes);
    FUZZ_CHECK(!history.empty());
    CheckRuns(history, true);
    if (LooksLikeRtf(bytes)) {
        // Every character shown costs at least one byte of the file, every line end too.
        FUZZ_CHECK(Characters(history) + history.size() - 1 <= bytes.size());
    } else {
        CheckPlain(bytes, history);
    }

    TTermHistory trimmed = history;
    TrimHistory(trimmed, maxLines, maxChars);
    CheckRuns(trimmed, false);
    CheckTrimmed(history, trimmed, maxLines, maxChars);

    // What the control gets reads back to the same lines in the same colours, and writing
    // that again gives the same document.
    const std::string rtf = HistoryToRtf(trimmed, defaultColor);
    CheckDocument(rtf);
    const TTermHistory back = ParseHistory(rtf);
    CheckRuns(back, true);
    if (trimmed.empty()) {
        FUZZ_CHECK(back.size() == 1 && back[0].Size() == 0);
    } else {
        FUZZ_CHECK(back.size() == trimmed.size());
        for (std::size_t i = 0; i < back.size(); ++i)
            FUZZ_CHECK(Colored(back[i], defaultColor) == Colored(trimmed[i], defaultColor));
        FUZZ_CHECK(HistoryToRtf(back, defaultColor) == rtf);
    }
    return 0;
}
