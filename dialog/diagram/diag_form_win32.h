#pragma once
#include <windows.h>

#include <array>

#include "dialog/diagram/chart.h"
#include "dialog/diagram/diagram_settings.h"
#include "dialog/ui/containers_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"
#include "dialog/ui/masked_edit_win32.h"
#include "dialog/ui/tooltip_win32.h"

class TWindowHost;

// A check box whose caption has a colour of its own.
class TColorCheck : public TButton {
public:
    void SetTextColor(COLORREF color) { color_ = color; }

protected:
    HBRUSH OnCtlColor(HDC dc) override;

private:
    COLORREF color_ = CLR_INVALID;
};

// "Диаграмма": the statistics of "Stat.ups" over a chosen time window as six line series,
// averaged into at most 100 points. The journal page creates it for one use and runs it
// over the main window; its choices are read from section "Diagramm" of "Kovrin.ini" at
// creation and written back when it is destroyed.
class TDiagForm : public TForm {
public:
    static constexpr int MaxPoints = 100;

    explicit TDiagForm(TWindowHost& host);
    ~TDiagForm() override;

    bool Create();
    int ShowModal();

    // The records of the window start ... start + length in at most maxPoints points; a
    // missing file or a window without records leaves the chart as it was.
    void DrawDiagram(int maxPoints, const TSeriesFlags& visible, double length, double start);

    // Escape closes the window, as it has no cancel button.
    bool HandleDialogKey(const MSG& msg) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool CreatePanel();
    void Layout(int width, int height);
    void RefreshClick();
    void RangeClick();
    TDiagramSettings CurrentSettings() const;
    void SaveSettings();
    int CurrentYear() const;

    TWindowHost& host_;
    TChart chart_;
    TPanel chartPanel_;
    TContainer controls_, group_;
    TLabel startLabel_, widthLabel_;
    TMaskEdit date_, time_;
    TButton range_, refresh_;
    TComboBox width_;
    std::array<TColorCheck, SeriesCount> checks_;
    TFontHandle boldFont_;
    TToolTips tips_;
    bool created_ = false;
};
