#include "dialog/ui/gdi_win32.h"

TFontHandle MakeFont(const TFontSpec& spec) {
    LOGFONTA lf{};
    // Point size at 96 DPI: 8 pt is 11 pixels of character height.
    lf.lfHeight = spec.PixelHeight > 0 ? -spec.PixelHeight : -MulDiv(spec.PointSize, 96, 72);
    lf.lfWeight = spec.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = spec.Underline ? TRUE : FALSE;
    lf.lfCharSet = RUSSIAN_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(lf.lfFaceName, spec.Face.c_str(), LF_FACESIZE);
    return TFontHandle(CreateFontIndirectA(&lf));
}

COLORREF ResolveColor(unsigned long color) {
    if (color & 0x80000000UL) return GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color & 0x00FFFFFFUL);
}
