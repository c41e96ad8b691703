#include "dialog/mainwindow/extra_page_win32.h"

#include "dialog/mainwindow/control_ids.h"
#include "dialog/mainwindow/status_view.h"

namespace {

struct TFieldDef {
    const char* Label;
    int Width;
    bool LeftAligned;
    const char* Initial;
};
const TFieldDef InfoFields[] = {
    {"Производитель:", 169, true, ""}, {"Модель:", 169, true, ""},
    {"Версия:", 169, true, ""},        {"Тип:", 169, false, ""},
    {"Напряжение:", 45, false, "0"},   {"Тип батареи:", 45, false, "0"},
    {"Частота:", 45, false, "0"},      {"Рабочий ток:", 45, false, "0"},
};
constexpr int RowTop = 16, RowPitch = 15, LabelLeft = 8, FieldLeft = 96;

// The three indicators of this page, with the index of their definition in Indicators[].
constexpr int StateIndicators[] = {6, 5, 7}; // "Выключение", "Тест", "Сигнал"

COLORREF TextColorFor(bool up) {
    return GetSysColor(up ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
}

} // namespace

bool TExtraPage::CreateControls() {
    TContainerArgs g;
    g.Parent = Parent();
    g.Rect = {0, 0, 269, 141};
    g.Caption = " Информация ";
    g.Frame = true;
    if (!info_.Create(g)) return false;
    for (int i = 0; i < InfoFieldCount; ++i) {
        const int y = RowTop + i * RowPitch;
        TLabelArgs l;
        l.Parent = info_.Handle();
        l.Rect = {LabelLeft, y + 1, FieldLeft - LabelLeft - 2, 13};
        l.Text = InfoFields[i].Label;
        if (!infoLabels_[i].Create(l)) return false;
        TPanelArgs p;
        p.Parent = info_.Handle();
        p.Rect = {FieldLeft, y, InfoFields[i].Width, 14};
        p.Id = ID_INFO_FIELD + i;
        p.Text = InfoFields[i].Initial;
        p.Bevel = TBevel::Sunken;
        p.LeftAligned = InfoFields[i].LeftAligned;
        if (!infoFields_[i].Create(p)) return false;
    }

    g.Rect = {0, 144, 269, 77};
    g.Caption = " Состояние ";
    if (!state_.Create(g)) return false;
    TLabelArgs l;
    l.Parent = state_.Handle();
    l.Rect = {LabelLeft, 19, 176, 13};
    l.Text = "Нижний предел напряжения сети:";
    if (!lowerLimitLabel_.Create(l)) return false;
    TPanelArgs p;
    p.Parent = state_.Handle();
    p.Rect = {184, 17, 81, 17};
    p.Id = ID_INFO_LOWERLIMIT;
    p.Text = "0";
    p.Bevel = TBevel::Sunken;
    if (!lowerLimit_.Create(p)) return false;
    for (std::size_t i = 0; i < indicators_.size(); ++i) {
        TPanelArgs ind;
        ind.Parent = state_.Handle();
        ind.Rect = {LabelLeft + static_cast<int>(i) * 86, 46, 81, 17};
        ind.Id = ID_INFO_INDICATOR + static_cast<int>(i);
        ind.Text = std::string(Indicators[StateIndicators[i]].Caption);
        ind.Bevel = TBevel::Sunken;
        if (!indicators_[i].Create(ind)) return false;
    }
    return commands_.Create(Parent(), {272, 0, 201, 221});
}

void TExtraPage::Load() {
    commands_.Load();
}

void TExtraPage::OnStatus(const TUpsStatus& s) {
    lowerLimit_.SetText(FieldNumber(s.InputFaultVoltage));
    infoFields_[Type].SetText(UpsTypeText(s.Flags));
    for (std::size_t i = 0; i < indicators_.size(); ++i)
        indicators_[i].SetBackColor(IndicatorLit(Indicators[StateIndicators[i]], s.Flags)
                                        ? RGB(255, 0, 0)
                                        : GetSysColor(COLOR_BTNFACE));
}

void TExtraPage::ShowInfo(const TUpsInfo& info) {
    infoFields_[Maker].SetText(info.Maker.View());
    infoFields_[Model].SetText(info.Model.View());
    infoFields_[Version].SetText(info.Version.View());
}

void TExtraPage::ShowRating(const TUpsRating& r) {
    infoFields_[Voltage].SetText(FieldNumber(r.Voltage));
    infoFields_[BatteryType].SetText(FieldNumber(r.BatteryVoltage));
    infoFields_[Frequency].SetText(FieldNumber(r.Frequency));
    infoFields_[Current].SetText(std::to_string(r.Current));
    voltageReported_ = VoltageScale(r.Voltage).Reported;
    UpdateLowerLimitGreying();
}

void TExtraPage::UpdateLowerLimitGreying() {
    const bool enabled = linkUp_ && voltageReported_;
    lowerLimit_.Enable(enabled);
    lowerLimit_.SetTextColor(TextColorFor(enabled));
}

void TExtraPage::OnLinkState(bool up) {
    linkUp_ = up;
    for (TLabel& label : infoLabels_)
        label.Enable(up);
    lowerLimitLabel_.Enable(up);
    // The manufacturer's field is left as it is: it names the UPS even without a link.
    for (int i = Model; i < InfoFieldCount; ++i) {
        infoFields_[i].Enable(up);
        infoFields_[i].SetTextColor(TextColorFor(up));
    }
    for (TPanel& indicator : indicators_) {
        indicator.Enable(up);
        indicator.SetTextColor(TextColorFor(up));
    }
    UpdateLowerLimitGreying();
    commands_.OnLinkState(up);
}
