#pragma once
#include <windows.h>

#include <richedit.h>

#include <string>
#include <vector>

#include "harness.h"

// Reading the terminal (a rich edit control) from the test's thread: its text with one
// CR per line break, its lines, and the colour of a line.
namespace dialogtest {

inline std::string TerminalText(HWND terminal) {
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    const LRESULT n = SendMessageA(terminal, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    std::string buf(static_cast<std::size_t>(n > 0 ? n : 0) * 2 + 16, '\0');
    GETTEXTEX get{static_cast<DWORD>(buf.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
    const LRESULT got = SendMessageA(terminal, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                     reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return buf;
}

inline std::vector<std::string> TerminalLines(HWND terminal) {
    std::vector<std::string> lines(1);
    for (const char c : TerminalText(terminal)) {
        if (c == '\r')
            lines.emplace_back();
        else if (c != '\n')
            lines.back() += c;
    }
    return lines;
}

// The colour of a line's first character.
inline COLORREF LineColor(HWND terminal, int line) {
    const LRESULT start = SendMessageA(terminal, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    CHARRANGE saved{}, one{static_cast<LONG>(start), static_cast<LONG>(start + 1)};
    SendMessageA(terminal, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    SendMessageA(terminal, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
    CHARFORMAT2A f{};
    f.cbSize = sizeof f;
    SendMessageA(terminal, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    SendMessageA(terminal, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    return f.crTextColor;
}

inline void SetCaret(HWND terminal, LONG position) {
    CHARRANGE r{position, position};
    SendMessageA(terminal, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}
inline void CaretToEnd(HWND terminal) {
    SetCaret(terminal, 0x7FFFFFFF);
}

} // namespace dialogtest
