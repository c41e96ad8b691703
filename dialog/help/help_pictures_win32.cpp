#include "dialog/help/help_pictures_win32.h"

#include <initializer_list>

#include "dialog/ui/gdi_win32.h"

namespace {

// A 16 x 16 picture's points, placed at the centre of the area.
struct TPen16 {
    HDC Dc;
    int X, Y;
    POINT At(int x, int y) const { return {X + x, Y + y}; }
};

void Polygon16(const TPen16& p, COLORREF fill, std::initializer_list<POINT> points) {
    POINT pts[16];
    int n = 0;
    for (POINT q : points)
        if (n < 16) pts[n++] = p.At(q.x, q.y);
    TBrushHandle brush(CreateSolidBrush(fill));
    TPenHandle pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    TSelectObject b(p.Dc, brush.Get()), q(p.Dc, pen.Get());
    Polygon(p.Dc, pts, n);
}

void Box16(const TPen16& p, COLORREF fill, int l, int t, int r, int b) {
    Polygon16(p, fill, {{l, t}, {r, t}, {r, b}, {l, b}});
}

void Line16(const TPen16& p, COLORREF color, int x1, int y1, int x2, int y2, int width = 1) {
    TPenHandle pen(CreatePen(PS_SOLID, width, color));
    TSelectObject q(p.Dc, pen.Get());
    MoveToEx(p.Dc, p.X + x1, p.Y + y1, nullptr);
    LineTo(p.Dc, p.X + x2, p.Y + y2);
}

} // namespace

void DrawHelpPicture(THelpPicture picture, HDC dc, const RECT& area, bool enabled) {
    const TPen16 p{dc, area.left + (area.right - area.left - 16) / 2,
                   area.top + (area.bottom - area.top - 16) / 2};
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF green = enabled ? RGB(0, 160, 0) : grey;
    switch (picture) {
    case THelpPicture::Back:
        Polygon16(p, green, {{1, 8}, {8, 1}, {8, 5}, {15, 5}, {15, 11}, {8, 11}, {8, 15}});
        break;
    case THelpPicture::Forward:
        Polygon16(p, green, {{15, 8}, {8, 1}, {8, 5}, {1, 5}, {1, 11}, {8, 11}, {8, 15}});
        break;
    case THelpPicture::Contents: // a page with its lines
        Box16(p, enabled ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE), 2, 0, 13, 15);
        for (int y = 3; y <= 12; y += 3)
            Line16(p, enabled ? RGB(0, 0, 160) : grey, 4, y, 11, y);
        break;
    case THelpPicture::Home: // a house
        Polygon16(p, enabled ? RGB(200, 0, 0) : grey, {{0, 8}, {8, 0}, {16, 8}});
        Box16(p, enabled ? RGB(255, 255, 200) : GetSysColor(COLOR_BTNFACE), 3, 8, 13, 15);
        Box16(p, enabled ? RGB(120, 70, 20) : grey, 7, 10, 10, 15);
        break;
    case THelpPicture::Stop: // a red disc with a white cross
    {
        TBrushHandle brush(CreateSolidBrush(enabled ? RGB(210, 0, 0) : grey));
        TPenHandle pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        TSelectObject b(dc, brush.Get()), q(dc, pen.Get());
        Ellipse(dc, p.X + 1, p.Y + 1, p.X + 16, p.Y + 16);
        Line16(p, RGB(255, 255, 255), 5, 5, 11, 11, 2);
        Line16(p, RGB(255, 255, 255), 11, 5, 5, 11, 2);
        break;
    }
    }
}
