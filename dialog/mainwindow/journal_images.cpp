#include "dialog/mainwindow/journal_images.h"

#include "common/events.h"

namespace {

constexpr TColor Black = 0x000000, White = 0xFFFFFF, Gray = 0x808080;

void EndOfRun(ICanvas& c) {
    c.SetPen(Black, 1);
    c.SetBrush(Gray);
    c.FillRect(3, 3, 13, 13);
    c.Line(3, 3, 12, 3);
    c.Line(12, 3, 12, 12);
    c.Line(12, 12, 3, 12);
    c.Line(3, 12, 3, 3);
}

void Information(ICanvas& c) {
    c.SetPen(0x904000, 1);
    c.SetBrush(0xD07010);
    c.Ellipse(1, 1, 15, 15);
    c.SetBrush(White);
    c.FillRect(7, 4, 9, 6);
    c.FillRect(7, 7, 9, 12);
}

void Warning(ICanvas& c) {
    // The triangle row by row, its edge darker.
    for (int y = 2; y < 15; ++y) {
        const int half = (y - 2) / 2;
        c.SetPen(0x00C8F8, 1);
        c.Line(8 - half, y, 8 + half + 1, y);
        c.SetPen(0x0070A0, 1);
        c.Line(7 - half, y, 8 - half, y);
        c.Line(8 + half + 1, y, 8 + half + 2, y);
    }
    c.Line(1, 14, 16, 14);
    c.SetBrush(Black);
    c.FillRect(7, 6, 9, 11);
    c.FillRect(7, 12, 9, 14);
}

void Error(ICanvas& c) {
    c.SetPen(0x000090, 1);
    c.SetBrush(0x1010E0);
    c.Ellipse(1, 1, 15, 15);
    c.SetPen(White, 2);
    c.Line(5, 5, 11, 11);
    c.Line(10, 5, 4, 11);
}

void UserNote(ICanvas& c) {
    c.SetBrush(White);
    c.FillRect(3, 1, 13, 15);
    c.SetPen(0x006000, 1);
    c.Line(3, 1, 12, 1);
    c.Line(12, 1, 12, 14);
    c.Line(12, 14, 3, 14);
    c.Line(3, 14, 3, 1);
    c.SetPen(0x00A000, 1);
    for (int y = 4; y <= 11; y += 3)
        c.Line(5, y, 11, y);
}

} // namespace

void DrawJournalImage(ICanvas& canvas, int kind) {
    switch (kind) {
    case JK_ENDOFRUN:
        EndOfRun(canvas);
        break;
    case JK_INFO:
        Information(canvas);
        break;
    case JK_WARNING:
        Warning(canvas);
        break;
    case JK_ERROR:
        Error(canvas);
        break;
    case JK_USER:
        UserNote(canvas);
        break;
    default:
        break;
    }
}
