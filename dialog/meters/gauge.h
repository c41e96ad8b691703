#pragma once
#include <string>

#include "dialog/meters/metter_control.h"

// A vertical bar gauge: the bar rises from the bottom in proportion to the value within
// Min ... Max, with the percentage ("25%") in the middle in the text colour.
class TGauge : public TMetterControl {
public:
    static constexpr TColor kLime = 0x00FF00;

    TGauge();

    double Min() const { return min_; }
    double Max() const { return max_; }
    double Value() const { return value_; }
    TColor BarColor() const { return barColor_; }
    TColor BackColor() const { return backColor_; }
    TColor TextColor() const { return Font().Color(); }

    // Refused (false, nothing changes) when the range would not stay Min < Max.
    bool SetMin(double value) { return AssignMin(min_, max_, value); }
    bool SetMax(double value) { return AssignMax(max_, min_, value); }
    // Stored as given; the bar and the percentage show it limited to the range.
    void SetValue(double value) { AssignValue(value_, value); }
    void SetBarColor(TColor color) { Assign(barColor_, color); }
    void SetBackColor(TColor color) { Assign(backColor_, color); }
    // The drawing font's colour.
    void SetTextColor(TColor color) { Font().SetColor(color); }

    // The share of the range the bar shows, 0 ... 100, truncated.
    int Percent() const;

    std::string ReadoutText() const override;

protected:
    // The background; the bar (disabled, none) and the percentage.
    void DrawFace(ICanvas& canvas, TPainting& painting) const override;
    void DrawIndicator(ICanvas& canvas, TPainting& painting) const override;
    TIndicatorLook IndicatorLook() const override;

private:
    int BarHeight() const;

    double min_ = 0;
    double max_ = 100;
    double value_ = 0;
    TColor barColor_ = kLime;
    TColor backColor_ = kColorWindow;
};
