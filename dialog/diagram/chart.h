#pragma once
#include <array>
#include <string>
#include <vector>

#include "dialog/diagram/diagram_data.h"
#include "dialog/meters/canvas.h"

// The diagram's line chart: six series over a horizontal axis that counts points
// (0 ... p - 1) and a vertical axis from 0 to a maximum found from the values, on the
// application-workspace colour. It holds what it was last given and draws that; until
// the first drawing it shows empty axes over 0 ... 99.
class TChart {
public:
    static constexpr TColor kBackground = kSysColorFlag + 12; // application workspace
    static constexpr TColor kGrid = kSysColorFlag + 22;       // 3D light
    static constexpr TColor kAxis = kColorWindowText;

    // The new points; the horizontal axis then ends at Count - 1.
    void SetPoints(const TDiagramPoints& points);
    const TDiagramPoints& Points() const { return points_; }
    int AxisMax() const { return axisMax_; }
    // The vertical axis's end: the largest value rounded up to a step of its scale.
    double ValueMax() const { return valueMax_; }
    double ValueStep() const { return valueStep_; }

    void Paint(ICanvas& canvas, int width, int height) const;
    // What the chart shows, for WM_GETTEXT: the axes, then each series's values.
    std::string ReadoutText() const;

    // The plot area within a chart of that size (inside the axes' labels).
    struct TArea {
        int Left, Top, Right, Bottom;
    };
    TArea PlotArea(ICanvas& canvas, int width, int height) const;
    // The pixel of a point within the plot area.
    int XOf(const TArea& area, double index) const;
    int YOf(const TArea& area, double value) const;

private:
    TDiagramPoints points_;
    int axisMax_ = 99;
    double valueMax_ = 100;
    double valueStep_ = 20;
};

// A round step for a scale of that range in about `intervals` steps: 1, 2 or 5 times a
// power of ten.
double NiceStep(double range, int intervals);
