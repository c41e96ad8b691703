#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The terminal's history as "Term.ups" keeps it between openings: lines of text, each
// part in its colour. The file is Rich Text Format as the terminal control writes it; it
// is read here, not by the control, so that a damaged or enormous file (random bytes, RTF
// cut short, groups that never close, nesting deep enough to overrun a parser's stack)
// costs one linear pass and the control only ever sees a small, well-formed document.

// The colour of text that names none: the terminal's own font colour.
inline constexpr std::uint32_t TermDefaultColor = 0xFFFFFFFFu;

struct TTermRun {
    std::string Text;    // Windows-1251
    std::uint32_t Color; // 0x00BBGGRR or TermDefaultColor
};

struct TTermLine {
    std::vector<TTermRun> Runs;
    std::string Text() const;
    std::size_t Size() const;
};

using TTermHistory = std::vector<TTermLine>;

// What the window shows of a history at most: the newest lines, so that opening stays
// quick however long the file has grown (the control takes about 0.1 s per thousand lines
// under Wine, and over 30 s for 5 MB).
inline constexpr std::size_t TermHistoryMaxLines = 2000;
inline constexpr std::size_t TermHistoryMaxChars = 128 * 1024;

// A file that starts as RTF ("{\rtf") is read as RTF, anything else as plain text with
// lines ended by CR, LF or CR LF. Reading never fails: what cannot be understood is left
// out (control characters, unknown destinations, binary data), and a document cut short
// gives the lines up to its end.
bool LooksLikeRtf(std::string_view bytes);
TTermHistory ParseHistory(std::string_view bytes);

// Keeps the newest lines within the limits (the oldest kept line may lose its start),
// and collapses empty lines at the end to one: the line where the next command is typed.
void TrimHistory(TTermHistory& history, std::size_t maxLines = TermHistoryMaxLines,
                 std::size_t maxChars = TermHistoryMaxChars);

// A small RTF document of the lines: Courier New, bold, 8 pt, Cyrillic, each run in its
// colour (TermDefaultColor as `defaultColor`), lines separated by paragraph marks.
std::string HistoryToRtf(const TTermHistory& history, std::uint32_t defaultColor);

// A Unicode character as Windows-1251, '?' where it has no place there.
char Cp1251FromUnicode(std::uint32_t code);
