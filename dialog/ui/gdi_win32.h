#pragma once
#include <windows.h>

#include <string>
#include <utility>

// Owners of GDI objects and device contexts: each frees what it holds when it goes out
// of scope, so that no path through a paint or a window's life leaks one.

template <typename T> class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(T handle) : handle_(handle) {}
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    TGdiObject(TGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    ~TGdiObject() { Reset(); }
    void Reset(T handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }
    T Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    T handle_ = nullptr;
};

using TFontHandle = TGdiObject<HFONT>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TBitmapHandle = TGdiObject<HBITMAP>;

// Selects an object into a device context and puts the previous one back.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;
    ~TSelectObject() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

class TPaintDC {
public:
    explicit TPaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    ~TPaintDC() { EndPaint(window_, &ps_); }
    HDC Get() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

class TWindowDC {
public:
    explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    ~TWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An off-screen surface compatible with a window, for drawing without flicker.
class TMemoryDC {
public:
    TMemoryDC(HDC compatible, int width, int height)
        : dc_(CreateCompatibleDC(compatible)),
          bitmap_(
              CreateCompatibleBitmap(compatible, width > 0 ? width : 1, height > 0 ? height : 1)),
          select_(dc_, bitmap_.Get()) {}
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    ~TMemoryDC() = default;
    HDC Get() const { return dc_.dc; }

private:
    struct Owned {
        HDC dc;
        explicit Owned(HDC d) : dc(d) {}
        ~Owned() {
            if (dc) DeleteDC(dc);
        }
        operator HDC() const { return dc; }
    };
    Owned dc_;
    TBitmapHandle bitmap_;
    TSelectObject select_;
};

// A font by face name and point size at 96 DPI, able to show Cyrillic.
struct TFontSpec {
    std::string Face = "MS Sans Serif";
    int PointSize = 8;
    bool Bold = false;
    bool Underline = false;
    int PixelHeight = 0; // when set, the character height in pixels instead of the size
};
TFontHandle MakeFont(const TFontSpec& spec);

// A colour of the system's convention: 0x00BBGGRR, or 0x80000000 + n for system colour n.
COLORREF ResolveColor(unsigned long color);
