#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "dialog/meters/canvas.h"

// Records every drawing call with the colour it was drawn in. Every character is 5 x 8
// pixels, so that text positions can be worked out by hand.
class TRecordingCanvas : public ICanvas {
public:
    enum class TKind { Rect, Line, Ellipse, Text };
    struct TCall {
        TKind Kind;
        int A, B, C, D; // left/top/right/bottom, or x1/y1/x2/y2, or x/y
        TColor Color; // brush for Rect and Ellipse (kClear when clear), pen for Line, font for Text
        TColor Pen;   // Line and Ellipse
        int PenWidth; // Line and Ellipse
        std::string Str; // Text only

        std::array<int, 4> Coords() const { return {A, B, C, D}; }
    };
    static constexpr TColor kClear = 0xFFFFFFFF;
    static constexpr int kCharWidth = 5;
    static constexpr int kCharHeight = 8;

    void FillRect(int l, int t, int r, int b) override {
        if (!clear_) calls.push_back({TKind::Rect, l, t, r, b, brush_, 0, 0, {}});
    }
    void Line(int x1, int y1, int x2, int y2) override {
        calls.push_back({TKind::Line, x1, y1, x2, y2, pen_, pen_, penWidth_, {}});
    }
    void Ellipse(int l, int t, int r, int b) override {
        calls.push_back(
            {TKind::Ellipse, l, t, r, b, clear_ ? kClear : brush_, pen_, penWidth_, {}});
    }
    void Text(int x, int y, std::string_view s) override {
        calls.push_back({TKind::Text, x, y, 0, 0, fontColor_, 0, 0, std::string(s)});
    }
    TTextSize TextSize(std::string_view s) override {
        return {static_cast<int>(s.size()) * kCharWidth, kCharHeight};
    }
    void SetPen(TColor color, int width) override { pen_ = color, penWidth_ = width; }
    void SetBrush(TColor color) override { brush_ = color, clear_ = false; }
    void SetClearBrush() override { clear_ = true; }
    TColor FontColor() const override { return fontColor_; }
    void SetFontColor(TColor color) override { fontColor_ = color; }
    void SetFont(std::string_view name, int size) override { fontName = name, fontSize = size; }

    std::vector<TCall> Of(TKind kind, std::optional<TColor> color = {}) const {
        std::vector<TCall> out;
        for (const TCall& c : calls)
            if (c.Kind == kind && (!color || c.Color == *color)) out.push_back(c);
        return out;
    }
    std::vector<std::string> TextsIn(TColor color) const {
        std::vector<std::string> out;
        for (const TCall& c : Of(TKind::Text, color))
            out.push_back(c.Str);
        return out;
    }

    std::vector<TCall> calls;
    std::string fontName;
    int fontSize = 0;

private:
    TColor pen_ = 0, brush_ = 0, fontColor_ = 0x123456;
    int penWidth_ = 0;
    bool clear_ = false;
};

// A host that counts the redraws it is asked for.
template <typename TControl> struct THosted {
    THosted() {
        control.AttachHost([this] { ++redraws; });
    }
    TRecordingCanvas Paint() {
        TRecordingCanvas canvas;
        control.Paint(canvas);
        return canvas;
    }
    TControl control;
    int redraws = 0;
};
