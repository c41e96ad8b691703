#pragma once
#include <array>
#include <memory>

#include "dialog/mainwindow/page_win32.h"
#include "dialog/mainwindow/status_view.h"
#include "dialog/meters/arc_metter.h"
#include "dialog/meters/gauge.h"
#include "dialog/meters/rez_metter.h"
#include "dialog/meters/term_metter.h"
#include "dialog/ui/controls_win32.h"

// "Состояние": the three voltage dials, the thermometer, the frequency meter, the load and
// charge gauges, the time on battery and the five indicators of the operating mode.
class TStatePage : public TPage {
public:
    using TPage::TPage;
    ~TStatePage() override;

    // The last creation step: the meters go onto their placeholder panels.
    void CreateMeters();
    // Destroyed first when the window is destroyed.
    void DestroyMeters();

    void OnStatus(const TUpsStatus& status) override;
    void OnLinkState(bool up) override;
    void ApplyRating(const TUpsRating& rating);

protected:
    bool CreateControls() override;

private:
    struct TMeters {
        TArcMetter Input, Output, Battery;
        TRezMetter Frequency;
        TTermMetter Temperature;
    };
    // The panels a status record may change, in a fixed order.
    std::array<TPanel*, 13> StatusPanels();
    // Paints the panels the record made stale, all on one device context of the group.
    void RepaintStale();

    TContainer group_;
    // Placeholders of the input, output and battery dials, the thermometer, the frequency.
    TPanel inputPanel_, outputPanel_, batteryPanel_, thermoPanel_, frequencyPanel_;
    TPanel loadGauge_, chargeGauge_;
    TGauge load_, charge_;
    std::array<TLabel, 7> labels_; // three dial captions, "Частота", the gauges', "Автономно"
    TPanel batteryTime_;
    TFontHandle batteryTimeFont_;
    std::array<TPanel, 5> indicators_;
    std::unique_ptr<TMeters> meters_;
    // What the last rating reported: a dial whose rating is missing stays greyed.
    bool batteryReported_ = true, frequencyReported_ = true;
    bool linkUp_ = true; // until the monitor says otherwise
};
