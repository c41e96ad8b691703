#include "dialog/mainwindow/terminal_rules.h"

TEnterAction DecideEnter(std::size_t lastLineLength, bool caretOnLastLine, bool monitorKnown) {
    if (lastLineLength == 0 || !caretOnLastLine) return TEnterAction::Ignore;
    if (!monitorKnown) return TEnterAction::LineBreak;
    if (lastLineLength > TerminalLineLimit) return TEnterAction::Refuse;
    return TEnterAction::Send;
}

std::string_view WithoutLineEnds(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

TAnswerLine AnswerLine(std::string_view answer) {
    TAnswerLine line;
    line.Shown = !answer.empty();
    line.Text = std::string(WithoutLineEnds(answer));
    line.Color = TerminalAnswerColor;
    return line;
}

TAnswerLine NoAnswerLine() {
    return {true, "<нет ответа от UPS>", TerminalNoAnswerColor};
}
