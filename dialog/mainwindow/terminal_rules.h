#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The terminal's rules apart from its control: what Enter does, and how an answer shows.

// The command text buffer holds 255 characters and its terminator.
inline constexpr std::size_t TerminalLineLimit = 255;

enum class TEnterAction {
    Ignore,    // swallowed: nothing inserted, nothing sent
    LineBreak, // an ordinary line break, nothing sent
    Send,      // the last line goes to the UPS, and the line break follows
    Refuse,    // too long to send: swallowed with a beep, the line stays for shortening
};

// Only a non-empty last line, with the caret on it, is sent; without a monitor the
// terminal is a plain text field. A line longer than the buffer is refused rather than
// cut: a cut command is one the user did not write, sent to a device that can switch
// the power off.
TEnterAction DecideEnter(std::size_t lastLineLength, bool caretOnLastLine, bool monitorKnown);

// Colours of the terminal, 0x00BBGGRR.
inline constexpr std::uint32_t TerminalTextColor = 0x00FFFFFF; // white on black
inline constexpr std::uint32_t TerminalBackColor = 0x00000000;
inline constexpr std::uint32_t TerminalAnswerColor = 0x0000FFFF;   // yellow
inline constexpr std::uint32_t TerminalNoAnswerColor = 0x00808080; // grey

struct TAnswerLine {
    bool Shown = false; // an empty answer (a command that has none) shows nothing
    std::string Text;
    std::uint32_t Color = TerminalAnswerColor;
};

// The text without the carriage returns and line feeds at its end; stops at the empty text.
std::string_view WithoutLineEnds(std::string_view text);

// TD_ANSWER: the UPS's line in yellow. An answer of only line ends is shown as an empty
// line, so that the user sees the UPS did answer (unlike a command without answer).
TAnswerLine AnswerLine(std::string_view answer);
// TD_NOANSWER: "<нет ответа от UPS>" in grey.
TAnswerLine NoAnswerLine();
