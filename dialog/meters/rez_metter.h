#pragma once
#include <string>
#include <utility>

#include "dialog/meters/metter_control.h"

// A vibrating-reed frequency meter: a row of reeds over a horizontal bar, the reed whose
// frequency is nearest the value standing tallest and its neighbours less; a linear scale
// from Min at the left to Max at the right under the bar, and the readout at the top.
class TRezMetter : public TMetterControl {
public:
    TRezMetter();

    const std::string& LabelsFormat() const { return labelsFormat_; }
    const std::string& ValueFormat() const { return valueFormat_; }
    const std::string& MetterType() const { return metterType_; }
    const std::string& SubType() const { return subType_; }
    TColor ScaleColor() const { return scaleColor_; }
    TColor BackColor() const { return backColor_; }
    TColor LabelColor() const { return labelColor_; }
    TColor ValueColor() const { return valueColor_; }
    TColor BarColor() const { return barColor_; }
    double Min() const { return min_; }
    double Max() const { return max_; }
    double Value() const { return value_; }
    int LabelsCount() const { return labelsCount_; }

    // Texts are stored and redrawn every time; the others redraw only when they change.
    void SetLabelsFormat(std::string format) { AssignText(labelsFormat_, std::move(format)); }
    void SetValueFormat(std::string format) { AssignText(valueFormat_, std::move(format)); }
    void SetMetterType(std::string text) { AssignText(metterType_, std::move(text)); }
    void SetSubType(std::string text) { AssignText(subType_, std::move(text)); }
    void SetScaleColor(TColor color) { Assign(scaleColor_, color); }
    void SetBackColor(TColor color) { Assign(backColor_, color); }
    void SetLabelColor(TColor color) { Assign(labelColor_, color); }
    void SetValueColor(TColor color) { Assign(valueColor_, color); }
    void SetBarColor(TColor color) { Assign(barColor_, color); }
    // Refused (false, nothing changes) when the range would not stay Min < Max: a range
    // moving up past the old Max needs Max set first.
    bool SetMin(double value) { return AssignMin(min_, max_, value); }
    bool SetMax(double value) { return AssignMax(max_, min_, value); }
    // Not limited: far outside the range every reed lies flat.
    void SetValue(double value) { AssignValue(value_, value); }
    // Refused when below 1.
    bool SetLabelsCount(int count) { return AssignCount(labelsCount_, count); }

    // The number of reed intervals: 21 when the range's whole part is odd, 20 when even
    // (n + 1 reeds).
    int ReedIntervals() const;

    std::string ReadoutText() const override;

protected:
    // Background, bar, ticks, labels and captions; the reeds and the readout.
    void DrawFace(ICanvas& canvas, TPainting& painting) const override;
    void DrawIndicator(ICanvas& canvas, TPainting& painting) const override;
    TIndicatorLook IndicatorLook() const override;

private:
    // The reed zone's height, that of a reed in resonance, and the height of reed k of n
    // intervals.
    int ReedZone() const { return TruncPixel(Height() * 0.3); }
    int FullReed() const { return TruncPixel(ReedZone() * 0.8); }
    int ReedHeight(int k, int n, int full) const;

    std::string labelsFormat_ = "0";
    std::string valueFormat_ = "0.0";
    std::string metterType_ = "Hz";
    std::string subType_ = "x1";
    TColor scaleColor_ = 0x000000;
    TColor backColor_ = 0xFFFFFF;
    TColor labelColor_ = 0xFF0000;
    TColor valueColor_ = 0x0000FF;
    TColor barColor_ = 0xC0C0C0;
    double min_ = 45;
    double max_ = 55;
    double value_ = 50;
    int labelsCount_ = 10;
};
