#pragma once
#include <string>
#include <utility>

#include "dialog/meters/metter_control.h"

// A needle instrument: a scale on the upper part of an ellipse centred on the bottom
// edge, from Min at the left end (247.5 degrees) through the top to Max at the right end
// (112.5 degrees), ticks and labels inside it, captions in the top corners, and the
// value's readout under the needle.
class TArcMetter : public TMetterControl {
public:
    TArcMetter();

    const std::string& LabelsFormat() const { return labelsFormat_; }
    const std::string& ValueFormat() const { return valueFormat_; }
    const std::string& MetterType() const { return metterType_; }
    const std::string& SubType() const { return subType_; }
    TColor ScaleColor() const { return scaleColor_; }
    TColor BackColor() const { return backColor_; }
    TColor LabelColor() const { return labelColor_; }
    TColor ValueColor() const { return valueColor_; }
    TColor PointerColor() const { return pointerColor_; }
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
    void SetPointerColor(TColor color) { Assign(pointerColor_, color); }
    // Refused (false, nothing changes) when the range would not stay Min < Max.
    bool SetMin(double value) { return AssignMin(min_, max_, value); }
    bool SetMax(double value) { return AssignMax(max_, min_, value); }
    // Not limited: values beyond the scale put the needle at its end.
    void SetValue(double value) { AssignValue(value_, value); }
    // Refused when below 1.
    bool SetLabelsCount(int count) { return AssignCount(labelsCount_, count); }

    std::string ReadoutText() const override;

protected:
    // Background, arc, ticks, labels and captions; the readout and the needle.
    void DrawFace(ICanvas& canvas, TPainting& painting) const override;
    void DrawIndicator(ICanvas& canvas, TPainting& painting) const override;
    TIndicatorLook IndicatorLook() const override;

private:
    struct TNeedleTip {
        int X, Y;
    };
    TNeedleTip NeedleTip() const;

    std::string labelsFormat_ = "0";
    std::string valueFormat_ = "0.0";
    std::string metterType_ = "M";
    std::string subType_ = "x1";
    TColor scaleColor_ = 0x000000;
    TColor backColor_ = 0xFFFFFF;
    TColor labelColor_ = 0xFF0000;
    TColor valueColor_ = 0x0000FF;
    TColor pointerColor_ = 0x000000;
    double min_ = 0;
    double max_ = 100;
    double value_ = 0;
    int labelsCount_ = 10;
};
