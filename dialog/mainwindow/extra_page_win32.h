#pragma once
#include <array>

#include "dialog/mainwindow/command_list_win32.h"
#include "dialog/mainwindow/page_win32.h"
#include "dialog/ui/controls_win32.h"

// "Дополнительно": what the UPS says of itself, the rest of its state, and the custom
// command list.
class TExtraPage : public TPage {
public:
    TExtraPage(TWindowHost& host, TMonitorLink& link) : TPage(host, link), commands_(host, link) {}

    void Load() override; // the custom commands
    void OnStatus(const TUpsStatus& status) override;
    void OnLinkState(bool up) override;
    void ShowInfo(const TUpsInfo& info);
    void ShowRating(const TUpsRating& rating);
    TCommandList& Commands() { return commands_; }

protected:
    bool CreateControls() override;

private:
    // The fields of the information group, in their order.
    enum { Maker, Model, Version, Type, Voltage, BatteryType, Frequency, Current, InfoFieldCount };
    void UpdateLowerLimitGreying();

    TContainer info_, state_;
    std::array<TLabel, InfoFieldCount> infoLabels_;
    std::array<TPanel, InfoFieldCount> infoFields_;
    TLabel lowerLimitLabel_;
    TPanel lowerLimit_;
    std::array<TPanel, 3> indicators_; // "Выключение", "Тест", "Сигнал"
    TCommandList commands_;
    bool linkUp_ = true, voltageReported_ = true;
};
