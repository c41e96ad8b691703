#include "dialog/ui/glyphs_win32.h"

#include "dialog/ui/gdi_win32.h"

TIconHandle MakeArrowIcon(TArrow direction, int size) {
    HDC screen = GetDC(nullptr);
    TBitmapHandle color(CreateCompatibleBitmap(screen, size, size));
    TBitmapHandle mask(CreateBitmap(size, size, 1, 1, nullptr));
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!dc || !color || !mask) {
        if (dc) DeleteDC(dc);
        return TIconHandle();
    }
    // The triangle's corners: a base of most of the width, a height of half of it.
    const int base = size - size / 4, top = size / 2 - base / 4, left = (size - base) / 2;
    POINT up[3] = {{left, top + base / 2}, {left + base, top + base / 2}, {size / 2, top}};
    POINT down[3] = {{left, top}, {left + base, top}, {size / 2, top + base / 2}};
    const POINT* corners = direction == TArrow::Up ? up : down;
    const RECT all{0, 0, size, size};
    {
        // The mask: white (transparent) everywhere but the triangle.
        TSelectObject bitmap(dc, mask.Get());
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        TSelectObject brush(dc, GetStockObject(BLACK_BRUSH));
        TSelectObject pen(dc, GetStockObject(BLACK_PEN));
        Polygon(dc, corners, 3);
    }
    {
        TSelectObject bitmap(dc, color.Get());
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        TBrushHandle ink(CreateSolidBrush(GetSysColor(COLOR_BTNTEXT)));
        TPenHandle edge(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT)));
        TSelectObject brush(dc, ink.Get());
        TSelectObject pen(dc, edge.Get());
        Polygon(dc, corners, 3);
    }
    DeleteDC(dc);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask.Get();
    info.hbmColor = color.Get();
    return TIconHandle(CreateIconIndirect(&info));
}

void SetButtonIcon(HWND button, HICON icon) {
    if (!button || !icon) return;
    SetWindowLongPtrA(button, GWL_STYLE, GetWindowLongPtrA(button, GWL_STYLE) | BS_ICON);
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}
