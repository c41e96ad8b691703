#include "dialog/mainwindow/terminal_page_win32.h"

#include "common/commands.h"
#include "common/files.h"
#include "dialog/mainwindow/terminal_history.h"
#include "dialog/mainwindow/terminal_ids.h"
#include "dialog/mainwindow/terminal_rules.h"
#include "dialog/module/window_host_win32.h"

namespace {
constexpr char HistoryFile[] = "Term.ups";
} // namespace

bool TTerminalPage::CreateControls() {
    if (!group_.Create({.Parent = Parent(), .Rect = {0, 0, 473, 221}, .Text = " Терминал "},
                       {.Frame = true}))
        return false;
    if (!text_.Create({.Parent = group_.Handle(),
                       .Rect = {6, 16, 461, 199},
                       .Id = ID_TERMINAL_TEXT,
                       .TabStop = true},
                      {.BackColor = TerminalBackColor,
                       .Font = {"Courier New", 8, true},
                       .CharSet = RUSSIAN_CHARSET,
                       // columns of the answers line up
                       .PitchAndFamily = FIXED_PITCH | FF_MODERN,
                       .TextColor = TerminalTextColor,
                       .TypeInDefaultColor = true}))
        return false;
    text_.OnEnter = [this] { return OnEnterKey(); };
    return true;
}

void TTerminalPage::Load() {
    std::string bytes;
    if (!ReadWholeFile(SystemFiles(), host_.FilePath(HistoryFile), bytes)) return;
    TTermHistory history = ParseHistory(bytes);
    TrimHistory(history);
    if (!text_.LoadRtf(HistoryToRtf(history, TerminalTextColor))) {
        std::string plain;
        for (std::size_t i = 0; i < history.size(); ++i)
            plain += (i ? "\r" : "") + history[i].Text();
        text_.LoadText(plain);
    }
    text_.ApplyDefaultFormat(false);
    // The control takes a paragraph mark at the very end as its own final one: an empty
    // last line (where the next command goes) is made again.
    if (!history.empty() && history.back().Size() == 0 &&
        text_.LineLength(text_.LineCount() - 1) > 0)
        text_.Append("\r", text_.DefaultColor());
    text_.CaretToEnd();
    text_.ScrollToCaret();
}

void TTerminalPage::SaveHistory() {
    if (!text_.Handle()) return;
    const std::string rtf = text_.SaveRtf();
    // A failed write leaves the old history.
    ReplaceFileContents(SystemFiles(), host_.FilePath(HistoryFile), rtf.data(), rtf.size());
}

void TTerminalPage::OnLinkState(bool up) {
    text_.Enable(up);
}

TEnterKey TTerminalPage::OnEnterKey() {
    const int lastLine = text_.LineCount() - 1;
    int start = 0, end = 0;
    text_.GetSelection(start, end);
    const bool caretOnLast =
        text_.LineOfPosition(start) == lastLine && text_.LineOfPosition(end) == lastLine;
    const int length = text_.LineLength(lastLine);
    switch (DecideEnter(static_cast<std::size_t>(length > 0 ? length : 0), caretOnLast,
                        link_.Known())) {
    case TEnterAction::Ignore:
        return TEnterKey::Swallow;
    case TEnterAction::LineBreak:
        return TEnterKey::LineBreak;
    case TEnterAction::Refuse:
        MessageBeep(MB_ICONWARNING);
        return TEnterKey::Swallow;
    case TEnterAction::Send:
        break;
    }
    if (!link_.RunCommand({.Code = CMD_CUSTOM, .Text = text_.LineText(lastLine), .Wait = true})) {
        MessageBeep(MB_ICONWARNING);
        return TEnterKey::Swallow;
    }
    return TEnterKey::LineBreak;
}

void TTerminalPage::ShowAnswer(const TAnswerLine& line) {
    if (!line.Shown || !text_.Handle()) return;
    AppendColored(line.Text, line.Color);
    text_.ScrollPageDown();
    text_.ScrollToCaret();
}

void TTerminalPage::Echo(std::string_view text) {
    AppendColored(WithoutLineEnds(text), TerminalTextColor);
    text_.ScrollToCaret();
}

// The text as a line of its own, followed by the empty line where the next command is
// typed. The echo of a command and the answers take this one way; the line breaks have the
// default colour, as the next line's text will.
void TTerminalPage::AppendColored(std::string_view text, std::uint32_t color) {
    if (!text_.Handle()) return;
    if (text_.LineLength(text_.LineCount() - 1) > 0) text_.Append("\r", TerminalTextColor);
    text_.Append(text, color);
    text_.Append("\r", TerminalTextColor);
}
