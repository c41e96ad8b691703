#pragma once
#include "dialog/mainwindow/page_win32.h"

// "Настройка": the monitor's settings in "Kovrin.ini", autorun, battery calibration; also
// the main window's position.
class TSettingsPage : public TPage {
public:
    using TPage::TPage;
    // Reads the settings, places the main window and fills the page.
    void Load() override;
    // Writes the settings held in memory and the window's position.
    void Save() override;
    // Ticks the autorun box from the system's list.
    void LoadAutorun();
    void OnLinkState(bool up) override;
    void OnStatus(const TUpsStatus& status) override;

    bool Calibrating() const { return calibrating_; }
    void StopCalibration();

    // The battery limits held in memory; the rating display sets defaults when both are 0.
    float MinBattVoltage() const { return minBatt_; }
    float MaxBattVoltage() const { return maxBatt_; }
    void SetBatteryLimits(float min, float max);

protected:
    bool CreateControls() override;

private:
    TContainer group_;
    bool calibrating_ = false;
    float minBatt_ = 0, maxBatt_ = 0;
};
