#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dialog/meters/canvas.h"

// The drawing font of a windowless control: a name, a size in points and a colour. Every
// real change is announced, so that the control can redraw itself.
class TMetterFont {
public:
    TMetterFont(std::string name, int size, TColor color)
        : name_(std::move(name)), size_(size), color_(color) {}

    const std::string& Name() const { return name_; }
    int Size() const { return size_; }
    TColor Color() const { return color_; }

    void SetName(std::string name);
    void SetSize(int points);
    void SetColor(TColor color);

    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    void Changed() const {
        if (onChange_) onChange_();
    }

    std::string name_;
    int size_;
    TColor color_;
    std::function<void()> onChange_;
};

// What a control shows of its value: the readout and the pixels its indicator takes. Two
// values that look the same need no redraw between them.
struct TIndicatorLook {
    std::string Readout;
    std::vector<int> Pixels;
    bool operator==(const TIndicatorLook&) const = default;
};

// A control without a window of its own, drawn on its host's surface. The host attaches
// with the function that schedules a redraw of the control's area and calls Paint from
// its own painting; until a host is attached nothing is drawn or scheduled.
//
// The drawing has two layers: the face (background, scale, labels, captions), which
// changes only with the control's look and size, and the indicator drawn over it (needle,
// column, reeds, bar, readout), which also changes with the value. Paint draws both; a host
// may keep the face it drew while FaceVersion stays the same and draw only the indicator
// over a copy of it, with the same pixels as a whole Paint.
class TMetterControl {
public:
    // Larger than any screen, small enough that no pixel arithmetic can overflow and
    // that the arc's segment loop stays short.
    static constexpr int kMaxExtent = 32767;

    TMetterControl(int width, int height, std::string fontName, int fontSize,
                   TColor fontColor = kColorWindowText);
    virtual ~TMetterControl() = default;
    TMetterControl(const TMetterControl&) = delete;
    TMetterControl& operator=(const TMetterControl&) = delete;

    void AttachHost(std::function<void()> requestRedraw);
    void DetachHost() { requestRedraw_ = nullptr; }
    bool HasHost() const { return static_cast<bool>(requestRedraw_); }

    // The whole control, in the host's current drawing state.
    void Paint(ICanvas& canvas);
    // The face alone, and the indicator alone (to be drawn over that face).
    void PaintFace(ICanvas& canvas);
    void PaintIndicator(ICanvas& canvas);
    // Changes whenever the face may look different; a value never changes it.
    std::uint32_t FaceVersion() const { return faceVersion_; }
    // What the control shows as text, for WM_GETTEXT and so for screen readers.
    virtual std::string ReadoutText() const = 0;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Negative sizes count as 0, sizes beyond kMaxExtent as kMaxExtent.
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    void SetSize(int width, int height);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Changes made by the owner redraw the control; those made while painting do not.
    TMetterFont& Font() { return font_; }
    const TMetterFont& Font() const { return font_; }

protected:
    // The look changed: face and indicator are drawn anew.
    void Invalidate() {
        ++faceVersion_;
        if (requestRedraw_) requestRedraw_();
    }

    // Stores the value and redraws when it differs from the stored one.
    template <typename T> void Assign(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Invalidate();
    }
    // Texts are stored and redrawn every time, as the owner may rely on a redraw.
    void AssignText(std::string& field, std::string text) {
        field = std::move(text);
        Invalidate();
    }
    // The value: stored, and redrawn only when what the control shows of it changes (its
    // readout at the pattern's resolution, a pixel of the indicator). No reading again
    // (NaN after NaN) counts as unchanged.
    void AssignValue(double& field, double value);
    // The ends of a scale: refused when they would break min < max, when unchanged, and
    // when not finite (no scale can be drawn over an infinite range). True when stored.
    bool AssignMin(double& min, double max, double value);
    bool AssignMax(double& max, double min, double value);
    // A number of scale intervals: refused when below 1 or unchanged.
    bool AssignCount(int& count, int value);

    // The painting entry's frame: the painting flag is set and the font colour remembered
    // for the scope's life, and the drawing font is applied to the canvas.
    class TPainting {
    public:
        TPainting(TMetterControl& control, ICanvas& canvas);
        ~TPainting();
        TPainting(const TPainting&) = delete;
        TPainting& operator=(const TPainting&) = delete;

        // Changes the drawing font's colour on both the font and the canvas.
        void SetFontColor(TColor color);

    private:
        TMetterControl& control_;
        ICanvas& canvas_;
        TColor savedColor_;
    };

    // The whole area in the background colour while enabled, in the inactive-caption
    // colour while disabled.
    void PaintBackground(ICanvas& canvas, TColor backColor) const;

    // The two layers of the drawing, in the painting's frame.
    virtual void DrawFace(ICanvas& canvas, TPainting& painting) const = 0;
    virtual void DrawIndicator(ICanvas& canvas, TPainting& painting) const = 0;
    // What the indicator shows of the current value (nothing where it is not drawn).
    virtual TIndicatorLook IndicatorLook() const = 0;

private:
    void FontChanged() {
        if (!painting_) Invalidate();
    }

    std::uint32_t faceVersion_ = 0;
    int width_;
    int height_;
    bool enabled_ = true;
    bool painting_ = false;
    TMetterFont font_;
    std::function<void()> requestRedraw_;
};

// ---- Numbers and pixels shared by the meters ----

// A real as a pixel coordinate, truncated toward zero. Values no pixel can have (NaN,
// infinities, beyond a few hundred million) are clamped first: converting them to int
// would be undefined. NaN gives 0.
int TruncPixel(double x);

// The value written with a number pattern: as many decimals as the pattern has digits
// after its point ("0" none, "0.0" one, "0.00" two), rounded, always with ".".
std::string FormatByPattern(double value, const std::string& pattern);

// (v - lo) / (hi - lo), computed on halves so that a range such as -1e308 ... 1e308 does
// not overflow; halving is exact, so for ordinary ranges the result is bit for bit the same.
double RangeFraction(double v, double lo, double hi);

// k * (hi - lo) / n in the same overflow-safe way.
double RangeStep(double lo, double hi, double k, double n);

// v limited to [lo, hi]; NaN counts as lo (no reading: the pointer rests at the start).
double ClampToRange(double v, double lo, double hi);

// Equal, where two NaNs count as equal: a record that keeps bringing no number must not
// redraw the control at every poll.
bool SameValue(double a, double b);
