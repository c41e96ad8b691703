#include "dialog/meters/gdi_canvas_win32.h"

#include <algorithm>
#include <climits>

namespace {

// Font sizes are points at the 96 pixels per inch the windows are laid out for.
constexpr int kPixelsPerInch = 96;
// Windows' own face names are at most 31 characters.
constexpr std::size_t kMaxFaceName = LF_FACESIZE - 1;

int TextLength(std::string_view text) {
    return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
}

} // namespace

TGdiCanvas::TGdiCanvas(HDC dc)
    : dc_(dc), oldPen_(GetCurrentObject(dc, OBJ_PEN)), oldBrush_(GetCurrentObject(dc, OBJ_BRUSH)),
      oldFont_(GetCurrentObject(dc, OBJ_FONT)), oldTextColor_(GetTextColor(dc)),
      oldBkMode_(GetBkMode(dc)) {
    SetBkMode(dc_, TRANSPARENT);
    SetPen(0x000000, 1);
    SetBrush(0xFFFFFF);
    SetFontColor(fontColor_);
}

TGdiCanvas::~TGdiCanvas() {
    // Deselect ours before the members delete them.
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    SelectObject(dc_, oldFont_);
    SetTextColor(dc_, oldTextColor_);
    SetBkMode(dc_, oldBkMode_);
}

COLORREF TGdiCanvas::Resolve(TColor color) {
    if (color & kSysColorFlag) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

void TGdiCanvas::FillRect(int left, int top, int right, int bottom) {
    // GDI would fill an inverted rectangle mirrored; ours covers nothing.
    if (!brush_.Get() || right <= left || bottom <= top) return;
    const RECT rect{left, top, right, bottom};
    ::FillRect(dc_, &rect, brush_.Get());
}

void TGdiCanvas::Line(int x1, int y1, int x2, int y2) {
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
}

void TGdiCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    ::Ellipse(dc_, left, top, right, bottom);
}

void TGdiCanvas::Text(int x, int y, std::string_view text) {
    SelectFont();
    TextOutA(dc_, x, y, text.data(), TextLength(text));
}

TTextSize TGdiCanvas::TextSize(std::string_view text) {
    SelectFont();
    SIZE size{};
    if (!GetTextExtentPoint32A(dc_, text.data(), TextLength(text), &size)) return {};
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

void TGdiCanvas::SetPen(TColor color, int width) {
    HPEN pen = CreatePen(PS_SOLID, std::clamp(width, 1, 100), Resolve(color));
    if (!pen) return;
    SelectObject(dc_, pen);
    pen_.Reset(pen);
}

void TGdiCanvas::SetBrush(TColor color) {
    HBRUSH brush = CreateSolidBrush(Resolve(color));
    if (!brush) return;
    SelectObject(dc_, brush);
    brush_.Reset(brush);
}

void TGdiCanvas::SetClearBrush() {
    // A stock object: selected, never deleted.
    SelectObject(dc_, GetStockObject(NULL_BRUSH));
    brush_.Reset();
}

void TGdiCanvas::SetFontColor(TColor color) {
    fontColor_ = color;
    SetTextColor(dc_, Resolve(color));
}

void TGdiCanvas::SetFont(std::string_view name, int pointSize) {
    std::string face(name.substr(0, kMaxFaceName));
    if (face == fontName_ && pointSize == fontSize_ && font_.Get()) return;
    fontName_ = std::move(face);
    fontSize_ = pointSize;
    fontStale_ = true;
}

// Created when first needed: a painting that draws no text makes no font.
void TGdiCanvas::SelectFont() {
    if (!fontStale_) return;
    fontStale_ = false;
    const int points = std::clamp(fontSize_, 1, 1000);
    // Cyrillic, whatever the system's code page: our texts are Windows-1251.
    HFONT font = CreateFontA(-MulDiv(points, kPixelsPerInch, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                             FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, fontName_.c_str());
    if (!font) return;
    SelectObject(dc_, font);
    font_.Reset(font);
}
