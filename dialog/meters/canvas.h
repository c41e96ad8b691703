#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// A colour as the windows store it: 0x00BBGGRR for an RGB colour, 0x80000000 + n for
// the system colour with index n. Drawing code passes it on unchanged; only a surface
// that really paints resolves system colours.
using TColor = std::uint32_t;

constexpr TColor kSysColorFlag = 0x80000000;
constexpr TColor kColorInactiveCaption = kSysColorFlag + 3;
constexpr TColor kColorWindow = kSysColorFlag + 5;
constexpr TColor kColorWindowText = kSysColorFlag + 8;
constexpr TColor kColorGrayText = kSysColorFlag + 17;
constexpr TColor kColorButtonText = kSysColorFlag + 18;

struct TTextSize {
    int Width = 0;
    int Height = 0;
};

// What the custom-drawn controls need of a drawing surface, and nothing more. Coordinates
// are pixels from the control's top-left corner.
class ICanvas {
public:
    virtual ~ICanvas() = default;

    // Covers left <= x < right, top <= y < bottom with the brush; an empty or inverted
    // rectangle covers nothing, and neither does the clear brush.
    virtual void FillRect(int left, int top, int right, int bottom) = 0;
    // From the start point towards the end point, with the pen.
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    // Inscribed in the box (same exclusive right and bottom edges), outlined with the pen
    // and filled with the brush.
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    // Top-left corner at (x, y), transparent background, current font and font colour.
    virtual void Text(int x, int y, std::string_view text) = 0;
    virtual TTextSize TextSize(std::string_view text) = 0;

    virtual void SetPen(TColor color, int width) = 0; // always solid
    virtual void SetBrush(TColor color) = 0;          // solid
    virtual void SetClearBrush() = 0;                 // fills nothing

    virtual TColor FontColor() const = 0;
    virtual void SetFontColor(TColor color) = 0;
    virtual void SetFont(std::string_view name, int pointSize) = 0;
};
