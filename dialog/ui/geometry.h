#pragma once

// A rectangle as the layouts give it: position of the top-left corner within the parent's
// client area, and size, in pixels at 96 DPI.
struct TRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    constexpr int Right() const { return Left + Width; }
    constexpr int Bottom() const { return Top + Height; }
};
