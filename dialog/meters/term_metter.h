#pragma once
#include <string>
#include <utility>

#include "dialog/meters/metter_control.h"

// A liquid thermometer: a tube standing on a bulb, ticks and labels on the left from Max
// at the top down to Min at the top of the bulb, and a column rising with the value with
// its readout beside the column's top.
class TTermMetter : public TMetterControl {
public:
    TTermMetter();

    const std::string& LabelsFormat() const { return labelsFormat_; }
    const std::string& ValueFormat() const { return valueFormat_; }
    const std::string& SubType() const { return subType_; }
    TColor ScaleColor() const { return scaleColor_; }
    TColor BackColor() const { return backColor_; }
    TColor LabelColor() const { return labelColor_; }
    TColor TubeColor() const { return tubeColor_; }
    TColor LiqColor() const { return liqColor_; }
    TColor ValueColor() const { return valueColor_; }
    double Min() const { return min_; }
    double Max() const { return max_; }
    double Value() const { return value_; }
    int LabelsCount() const { return labelsCount_; }

    // Texts are stored and redrawn every time; the others redraw only when they change.
    void SetLabelsFormat(std::string format) { AssignText(labelsFormat_, std::move(format)); }
    void SetValueFormat(std::string format) { AssignText(valueFormat_, std::move(format)); }
    void SetSubType(std::string text) { AssignText(subType_, std::move(text)); }
    void SetScaleColor(TColor color) { Assign(scaleColor_, color); }
    void SetBackColor(TColor color) { Assign(backColor_, color); }
    void SetLabelColor(TColor color) { Assign(labelColor_, color); }
    void SetTubeColor(TColor color) { Assign(tubeColor_, color); }
    void SetLiqColor(TColor color) { Assign(liqColor_, color); }
    void SetValueColor(TColor color) { Assign(valueColor_, color); }
    // Refused (false, nothing changes) when the range would not stay Min < Max.
    bool SetMin(double value) { return AssignMin(min_, max_, value); }
    bool SetMax(double value) { return AssignMax(max_, min_, value); }
    // Not limited: the column stops at the scale's ends, the readout shows the value.
    void SetValue(double value) { AssignValue(value_, value); }
    // Refused when below 1.
    bool SetLabelsCount(int count) { return AssignCount(labelsCount_, count); }

    std::string ReadoutText() const override;

protected:
    // Background, tube, bulb, ticks, labels and caption; the column and its readout.
    void DrawFace(ICanvas& canvas, TPainting& painting) const override;
    void DrawIndicator(ICanvas& canvas, TPainting& painting) const override;
    TIndicatorLook IndicatorLook() const override;

private:
    int ColumnTop() const;

    std::string labelsFormat_ = "0";
    std::string valueFormat_ = "0.0";
    std::string subType_ = "C";
    TColor scaleColor_ = 0x000000;
    TColor backColor_ = 0xFFFFFF;
    TColor labelColor_ = 0xFF0000;
    TColor tubeColor_ = 0xC0C0C0;
    TColor liqColor_ = 0x0000FF;
    TColor valueColor_ = 0x000000;
    double min_ = 0;
    double max_ = 100;
    double value_ = 0;
    int labelsCount_ = 10;
};
