#include "dialog/mainwindow/state_page_win32.h"

#include "dialog/mainwindow/control_ids.h"
#include "dialog/meters/gdi_canvas_win32.h"
#include "dialog/meters/metter_host_win32.h"
#include "dialog/module/conversions.h"

namespace {

struct TLabelPlace {
    const char* Text;
    TRect Rect;
};
// The dial captions under their panels, the frequency's, the gauges' and the time's.
const TLabelPlace StateLabels[] = {
    {"Вх. напряжение", {4, 68, 102, 13}}, {"Вых. напряжение", {108, 68, 102, 13}},
    {"Батарея", {212, 68, 102, 13}},      {"Частота", {52, 136, 53, 13}},
    {"Нагрузка", {160, 204, 73, 13}},     {"Заряд батареи", {240, 204, 73, 13}},
    {"Автономно", {336, 13, 72, 13}},
};

// Where each of the five indicators of this page sits, in the order of Indicators[].
const TRect IndicatorPlaces[] = {
    {4, 160, 73, 17}, {80, 160, 73, 17}, {4, 180, 73, 17}, {80, 180, 73, 17}, {4, 200, 149, 17},
};

COLORREF TextColorFor(bool up) {
    return GetSysColor(up ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
}

} // namespace

TStatePage::~TStatePage() {
    DestroyMeters();
}

bool TStatePage::CreateControls() {
    if (!group_.Create({.Parent = Parent(), .Rect = {0, 0, 473, 221}, .Text = " Режим работы "},
                       {.Frame = true}))
        return false;
    const HWND parent = group_.Handle();

    auto placeholder = [&](TPanel& panel, const TRect& rect, int id) {
        return panel.Create({.Parent = parent, .Rect = rect, .Id = id}, {.Bevel = TBevel::Sunken});
    };
    bool ok = placeholder(inputPanel_, {4, 16, 102, 52}, ID_STATE_INPUT) &&
              placeholder(outputPanel_, {108, 16, 102, 52}, ID_STATE_OUTPUT) &&
              placeholder(batteryPanel_, {212, 16, 102, 52}, ID_STATE_BATTERY) &&
              placeholder(thermoPanel_, {416, 16, 52, 201}, ID_STATE_THERMO) &&
              placeholder(frequencyPanel_, {4, 84, 149, 52}, ID_STATE_FREQUENCY) &&
              placeholder(loadGauge_, {160, 84, 73, 117}, ID_STATE_LOAD) &&
              placeholder(chargeGauge_, {240, 84, 73, 117}, ID_STATE_CHARGE);
    if (!ok) return false;

    for (std::size_t i = 0; i < labels_.size(); ++i) {
        if (!labels_[i].Create(
                {.Parent = parent, .Rect = StateLabels[i].Rect, .Text = StateLabels[i].Text},
                {.Align = i < 6 ? TAlign::Center : TAlign::Left}))
            return false;
    }

    batteryTimeFont_ = MakeFont({"MS Sans Serif", 8, true, false, 19});
    if (!batteryTime_.Create({.Parent = parent,
                              .Rect = {320, 27, 89, 41},
                              .Id = ID_STATE_BATTERYTIME,
                              .Text = "0:00:00",
                              .Font = batteryTimeFont_.Get()},
                             {.Bevel = TBevel::Sunken}))
        return false;

    for (std::size_t i = 0; i < indicators_.size(); ++i) {
        if (!indicators_[i].Create({.Parent = parent,
                                    .Rect = IndicatorPlaces[i],
                                    .Id = ID_STATE_INDICATOR + static_cast<int>(i),
                                    .Text = Indicators[i].Caption},
                                   {.Bevel = TBevel::Sunken}))
            return false;
    }

    // The gauges draw on their panels like the meters do.
    load_.SetTextColor(kColorButtonText);
    charge_.SetTextColor(kColorButtonText);
    HostMetter(loadGauge_, load_);
    HostMetter(chargeGauge_, charge_);

    return true;
}

std::array<TPanel*, 13> TStatePage::StatusPanels() {
    return {&inputPanel_,    &outputPanel_,   &batteryPanel_, &thermoPanel_,   &frequencyPanel_,
            &loadGauge_,     &chargeGauge_,   &batteryTime_,  &indicators_[0], &indicators_[1],
            &indicators_[2], &indicators_[3], &indicators_[4]};
}

void TStatePage::RepaintStale() {
    // At once, on one device context of the group, which draws over its children: a record
    // costs one paint however many of its panels changed, and no paint message at all. A
    // page out of sight draws nothing; its panels paint themselves when it is shown.
    const HWND group = group_.Handle();
    HDC dc = IsWindowVisible(group) ? GetDC(group) : nullptr;
    for (TPanel* panel : StatusPanels()) {
        panel->HoldRepaints(false);
        if (!panel->Stale()) continue;
        if (dc && IsWindowVisible(panel->Handle()))
            panel->PaintOn(dc);
        else
            panel->Invalidate();
    }
    if (dc) ReleaseDC(group, dc);
}

void TStatePage::CreateMeters() {
    if (meters_) return;
    meters_ = std::make_unique<TMeters>();
    auto setup = [](TMetterControl& m) { m.Font().SetSize(7); };
    for (TArcMetter* dial : {&meters_->Input, &meters_->Output, &meters_->Battery}) {
        setup(*dial);
        dial->SetBackColor(kColorWindow);
        dial->SetMetterType("Volt");
        dial->SetLabelsCount(5);
        dial->SetPointerColor(0x000080); // dark red
    }
    setup(meters_->Frequency);
    meters_->Frequency.SetBackColor(kColorWindow);
    setup(meters_->Temperature);
    meters_->Temperature.SetBackColor(kColorWindow);
    HostMetter(inputPanel_, meters_->Input);
    HostMetter(outputPanel_, meters_->Output);
    HostMetter(batteryPanel_, meters_->Battery);
    HostMetter(frequencyPanel_, meters_->Frequency);
    HostMetter(thermoPanel_, meters_->Temperature);
    // Greyed already if the link went down before the meters existed.
    const bool up = linkUp_;
    for (TMetterControl* m : {static_cast<TMetterControl*>(&meters_->Input),
                              static_cast<TMetterControl*>(&meters_->Output),
                              static_cast<TMetterControl*>(&meters_->Battery),
                              static_cast<TMetterControl*>(&meters_->Frequency),
                              static_cast<TMetterControl*>(&meters_->Temperature)})
        m->SetEnabled(up);
}

void TStatePage::DestroyMeters() {
    if (!meters_) return;
    for (TPanel* p : {&inputPanel_, &outputPanel_, &batteryPanel_, &frequencyPanel_, &thermoPanel_})
        UnhostMetter(*p);
    meters_.reset();
}

void TStatePage::OnStatus(const TUpsStatus& s) {
    for (TPanel* panel : StatusPanels())
        panel->HoldRepaints(true);
    if (meters_) {
        meters_->Input.SetValue(s.InputVoltage);
        meters_->Output.SetValue(s.OutputVoltage);
        meters_->Battery.SetValue(s.BatteryVoltage);
        meters_->Frequency.SetValue(s.InputFrequency);
        meters_->Temperature.SetValue(s.Temperature);
    }
    load_.SetValue(GaugePercent(s.Load));
    charge_.SetValue(GaugePercent(s.BatteryCharge));
    for (std::size_t i = 0; i < indicators_.size(); ++i)
        indicators_[i].SetBackColor(
            IndicatorLit(Indicators[i], s.Flags) ? RGB(255, 0, 0) : GetSysColor(COLOR_BTNFACE));
    batteryTime_.SetText(FormatTimeOfDay(s.BatteryTime));
    RepaintStale();
}

void TStatePage::OnLinkState(bool up) {
    linkUp_ = up;
    const bool battery = up && batteryReported_, frequency = up && frequencyReported_;
    if (meters_) {
        meters_->Input.SetEnabled(up);
        meters_->Output.SetEnabled(up);
        meters_->Battery.SetEnabled(battery);
        meters_->Frequency.SetEnabled(frequency);
        meters_->Temperature.SetEnabled(up);
    }
    for (TPanel* p : {&inputPanel_, &outputPanel_, &thermoPanel_})
        p->Enable(up);
    batteryPanel_.Enable(battery);
    frequencyPanel_.Enable(frequency);
    load_.SetEnabled(up);
    charge_.SetEnabled(battery);
    for (auto* gauge : {&load_, &charge_}) {
        if (!up) gauge->SetValue(0);
        gauge->SetTextColor(gauge->Enabled() ? kColorButtonText : kColorGrayText);
    }
    loadGauge_.Enable(up);
    chargeGauge_.Enable(battery);
    batteryTime_.Enable(up);
    batteryTime_.SetTextColor(TextColorFor(up));
    for (TPanel& indicator : indicators_) {
        indicator.Enable(up);
        indicator.SetTextColor(TextColorFor(up));
    }
    for (TLabel& label : labels_)
        label.Enable(up);
}

void TStatePage::ApplyRating(const TUpsRating& r) {
    batteryReported_ = BatteryScale(r.BatteryVoltage).Reported;
    frequencyReported_ = FrequencyRange(r.Frequency).Reported;
    if (!meters_) return;
    const TVoltageScale volts = VoltageScale(r.Voltage);
    meters_->Input.SetMax(volts.Max);
    meters_->Output.SetMax(volts.Max);
    const TBatteryScale battery = BatteryScale(r.BatteryVoltage);
    if (battery.Max) meters_->Battery.SetMax(*battery.Max);
    const TFrequencyRange f = FrequencyRange(r.Frequency);
    if (f.Reported) {
        // The meter refuses a minimum not below its maximum: when the range moves up,
        // the maximum goes first.
        TRezMetter& m = meters_->Frequency;
        if (f.Min >= m.Max()) {
            m.SetMax(f.Max);
            m.SetMin(f.Min);
        } else {
            m.SetMin(f.Min);
            m.SetMax(f.Max);
        }
    }
    // A dial whose rating is missing is greyed; one reported again comes back.
    OnLinkState(linkUp_);
}
