#include "dialog/ui/containers_win32.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr char ContainerClass[] = "TarvoContainer";
constexpr char PanelClass[] = "TarvoPanel";

COLORREF Or(COLORREF color, int systemIndex) {
    return color == CLR_INVALID ? GetSysColor(systemIndex) : color;
}

std::uint64_t Mix(std::uint64_t hash, std::uint64_t value) {
    return (hash ^ value) * 0x100000001B3ull;
}
} // namespace

// ---- TContainer

bool TContainer::Create(const TControlArgs& args, const TContainerStyle& style) {
    if (!RegisterOwnClass(ContainerClass, &TWindow::Procedure, CS_HREDRAW | CS_VREDRAW, nullptr,
                          nullptr))
        return false;
    frame_ = style.Frame;
    sunken_ = style.Sunken;
    font_ = FontFor(args);
    return CreateFrom({.ClassName = ContainerClass,
                       .Caption = args.Text,
                       .Style = ChildStyle(args) | WS_CLIPSIBLINGS,
                       .ExStyle = WS_EX_CONTROLPARENT,
                       .Rect = args.Rect,
                       .Parent = args.Parent,
                       .Id = args.Id});
}

LRESULT TContainer::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(Handle(), &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SETTEXT: {
        const LRESULT r = Default(msg, wParam, lParam);
        InvalidateRect(Handle(), nullptr, TRUE);
        return r;
    }
    // Children of a container that are not ours send their notifications to it; anything
    // they ask of the top-level window goes on up.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CONTEXTMENU:
        if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
            // Statics and check boxes on the page's face.
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return SendMessageA(GetParent(Handle()), msg, wParam, lParam);
    default:
        return Default(msg, wParam, lParam);
    }
}

void TContainer::Paint() {
    TPaintDC dc(Handle());
    RECT r;
    GetClientRect(Handle(), &r);
    if (sunken_) DrawEdge(dc.Get(), &r, BDR_SUNKENOUTER, BF_RECT);
    if (!frame_) return;
    const std::string caption = Text();
    TSelectObject font(dc.Get(), font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{0, 0};
    GetTextExtentPoint32A(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
    RECT frame = r;
    frame.top += extent.cy / 2;
    DrawEdge(dc.Get(), &frame, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
        SetBkColor(dc.Get(), GetSysColor(COLOR_BTNFACE));
        SetBkMode(dc.Get(), OPAQUE);
        SetTextColor(dc.Get(),
                     GetSysColor(IsWindowEnabled(Handle()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        TextOutA(dc.Get(), 8, 0, caption.c_str(), static_cast<int>(caption.size()));
    }
}

// ---- TPanel

bool TPanel::Create(const TControlArgs& args, const TPanelStyle& style) {
    if (!RegisterOwnClass(PanelClass, &TWindow::Procedure, CS_HREDRAW | CS_VREDRAW, nullptr,
                          nullptr))
        return false;
    bevel_ = style.Bevel;
    left_ = style.LeftAligned;
    back_ = style.BackColor;
    textColor_ = style.TextColor;
    font_ = FontFor(args);
    return CreateFrom({.ClassName = PanelClass,
                       .Caption = args.Text,
                       .Style = ChildStyle(args) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                       .Rect = args.Rect,
                       .Parent = args.Parent,
                       .Id = args.Id});
}

void TPanel::SetBackColor(COLORREF color) {
    if (color == back_) return;
    back_ = color;
    Invalidate();
}

void TPanel::SetTextColor(COLORREF color) {
    if (color == textColor_) return;
    textColor_ = color;
    Invalidate();
}

void TPanel::SetFont(HFONT font) {
    font_ = font;
    Invalidate();
}

void TPanel::Invalidate() {
    if (held_) {
        stale_ = true;
        return;
    }
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT TPanel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_SETFONT:
        SetFont(reinterpret_cast<HFONT>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT, without flicker
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ENABLE:
        Invalidate();
        return 0;
    case WM_SETTEXT: {
        // The same text again (a status that did not change it) costs no painting.
        const char* text = reinterpret_cast<const char*>(lParam);
        if (text && Text() == text) return TRUE;
        const LRESULT r = Default(msg, wParam, lParam);
        Invalidate();
        return r;
    }
    case WM_GETTEXT:
        if (ReadoutText) {
            const std::string text = ReadoutText();
            if (wParam == 0) return 0;
            const std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
            std::memcpy(reinterpret_cast<char*>(lParam), text.data(), n);
            reinterpret_cast<char*>(lParam)[n] = '\0';
            return static_cast<LRESULT>(n);
        }
        return Default(msg, wParam, lParam);
    case WM_GETTEXTLENGTH:
        if (ReadoutText) return static_cast<LRESULT>(ReadoutText().size());
        return Default(msg, wParam, lParam);
    default:
        return Default(msg, wParam, lParam);
    }
}

void TPanel::TBackBuffer::Free() {
    if (Dc) {
        SelectObject(Dc, Old);
        DeleteDC(Dc);
    }
    if (Bitmap) DeleteObject(Bitmap);
    Dc = nullptr;
    Bitmap = nullptr;
    Old = nullptr;
    Width = Height = 0;
}

HDC TPanel::TBackBuffer::Get(HDC compatible, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (Dc && Width == width && Height == height) return Dc;
    Free();
    Dc = CreateCompatibleDC(compatible);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Bitmap = CreateDIBSection(compatible, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!Dc || !Bitmap) {
        Free();
        return nullptr;
    }
    Old = SelectObject(Dc, Bitmap);
    Width = width;
    Height = height;
    return Dc;
}

void TPanel::Paint() {
    TPaintDC paint(Handle());
    RECT r;
    GetClientRect(Handle(), &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const HDC buffered = buffer_.Get(paint.Get(), width, height);
    Render(buffered ? buffered : paint.Get(), buffered != nullptr, width, height);
    if (buffered) BitBlt(paint.Get(), 0, 0, width, height, buffered, 0, 0, SRCCOPY);
}

void TPanel::PaintOn(HDC parentDc) {
    if (!Handle()) return;
    RECT r;
    GetClientRect(Handle(), &r);
    MapWindowPoints(Handle(), GetParent(Handle()), reinterpret_cast<POINT*>(&r), 2);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const HDC buffered = buffer_.Get(parentDc, width, height);
    if (!buffered) return;
    Render(buffered, true, width, height);
    BitBlt(parentDc, r.left, r.top, width, height, buffered, 0, 0, SRCCOPY);
}

void TPanel::PaintFrame(HDC dc, RECT& inner) {
    RECT r{0, 0, inner.right, inner.bottom};
    TBrushHandle back(CreateSolidBrush(Or(back_, COLOR_BTNFACE)));
    FillRect(dc, &r, back.Get());
    if (bevel_ != TBevel::None) {
        DrawEdge(dc, &inner, bevel_ == TBevel::Sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                 BF_RECT | BF_ADJUST);
    }
}

void TPanel::Render(HDC dc, bool buffered, int width, int height) {
    stale_ = false;
    RECT inner{0, 0, width, height};
    const int savedState = SaveDC(dc);
    // The hosted drawing gets the area inside the bevel, with its own origin.
    auto hosted = [&](const std::function<void(HDC, int, int)>& paint, HDC target) {
        SetViewportOrgEx(target, inner.left, inner.top, nullptr);
        paint(target, inner.right - inner.left, inner.bottom - inner.top);
        SetViewportOrgEx(target, 0, 0, nullptr);
    };
    HDC face = nullptr;
    if (OnPaint && OnPaintFace && FaceKey && buffered) face = face_.Get(dc, width, height);
    if (face) {
        // Everything the face's pixels depend on: the drawing's own key, the size, the
        // background and the system's colours (the bevel's and those the drawing names).
        std::uint64_t key = Mix(Mix(Mix(0xCBF29CE484222325ull, FaceKey()), width), height);
        key = Mix(key, Or(back_, COLOR_BTNFACE));
        for (int i = 0; i <= COLOR_MENUBAR; ++i)
            key = Mix(key, GetSysColor(i));
        if (!faceValid_ || key != faceKey_) {
            const int faceState = SaveDC(face);
            PaintFrame(face, inner);
            hosted(OnPaintFace, face);
            RestoreDC(face, faceState);
            faceKey_ = key;
            faceInner_ = inner;
            faceValid_ = true;
        }
        inner = faceInner_;
        BitBlt(dc, 0, 0, width, height, face, 0, 0, SRCCOPY);
        hosted(OnPaint, dc);
    } else {
        PaintFrame(dc, inner);
        // Without a bitmap to keep it in, the face is drawn every time.
        if (OnPaintFace) hosted(OnPaintFace, dc);
        if (OnPaint) {
            hosted(OnPaint, dc);
        } else if (!OnPaintFace) {
            const std::string text = Text();
            if (!text.empty()) {
                TSelectObject font(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
                SetBkMode(dc, TRANSPARENT);
                ::SetTextColor(dc, Or(textColor_, COLOR_BTNTEXT));
                RECT area = inner;
                if (left_) area.left += 2;
                DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area,
                          (left_ ? DT_LEFT : DT_CENTER) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX |
                              DT_END_ELLIPSIS);
            }
        }
    }
    RestoreDC(dc, savedState);
}
