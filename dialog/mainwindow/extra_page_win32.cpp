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
    if (!info_.Create({.Parent = Parent(), .Rect = {0, 0, 269, 141}, .Text = " Информация "},
                      {.Frame = true}))
        return false;
    for (int i = 0; i < InfoFieldCount; ++i) {
        const int y = RowTop + i * RowPitch;
        if (!infoLabels_[i].Create({.Parent = info_.Handle(),
                                    .Rect = {LabelLeft, y + 1, FieldLeft - LabelLeft - 2, 13},
                                    .Text = InfoFields[i].Label}))
            return false;
        if (!infoFields_[i].Create(
                {.Parent = info_.Handle(),
                 .Rect = {FieldLeft, y, InfoFields[i].Width, 14},
                 .Id = ID_INFO_FIELD + i,
                 .Text = InfoFields[i].Initial},
                {.Bevel = TBevel::Sunken, .LeftAligned = InfoFields[i].LeftAligned}))
            return false;
    }

    if (!state_.Create({.Parent = Parent(), .Rect = {0, 144, 269, 77}, .Text = " Состояние "},
                       {.Frame = true}))
        return false;
    if (!lowerLimitLabel_.Create({.Parent = state_.Handle(),
                                  .Rect = {LabelLeft, 19, 176, 13},
                                  .Text = "Нижний предел напряжения сети:"}))
        return false;
    if (!lowerLimit_.Create({.Parent = state_.Handle(),
                             .Rect = {184, 17, 81, 17},
                             .Id = ID_INFO_LOWERLIMIT,
                             .Text = "0"},
                            {.Bevel = TBevel::Sunken}))
        return false;
    for (std::size_t i = 0; i < indicators_.size(); ++i) {
        if (!indicators_[i].Create({.Parent = state_.Handle(),
                                    .Rect = {LabelLeft + static_cast<int>(i) * 86, 46, 81, 17},
                                    .Id = ID_INFO_INDICATOR + static_cast<int>(i),
                                    .Text = Indicators[StateIndicators[i]].Caption},
                                   {.Bevel = TBevel::Sunken}))
            return false;
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
