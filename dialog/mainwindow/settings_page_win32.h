#pragma once
#include <array>
#include <string_view>

#include "common/net_settings.h"
#include "dialog/mainwindow/calibration.h"
#include "dialog/mainwindow/page_win32.h"
#include "dialog/mainwindow/settings_model.h"
#include "dialog/ui/controls_win32.h"

// "Настройка": the monitor's settings in "Kovrin.ini", autorun, battery calibration; also
// the main window's position.
class TSettingsPage : public TPage, private ICalibrationHost {
public:
    TSettingsPage(TWindowHost& host, TMonitorLink& link)
        : TPage(host, link), calibration_(settings_, *this) {}
    // Reads the settings, places the main window and fills the page.
    void Load() override;
    // Writes the settings held in memory and the window's position.
    void Save() override;
    // The same writes when the user closes the window, while someone can still be told
    // that the file cannot be written.
    void SaveForClose();
    // Ticks the autorun box from the system's list.
    void LoadAutorun();
    void OnLinkState(bool up) override;
    void OnStatus(const TUpsStatus& status) override;

    bool Calibrating() const { return calibration_.Running(); }
    void StopCalibration();

    // The battery limits held in memory; the rating display sets defaults when both are 0.
    float MinBattVoltage() const { return settings_.MinBattVoltage; }
    float MaxBattVoltage() const { return settings_.MaxBattVoltage; }
    void SetBatteryLimits(float min, float max);

protected:
    bool CreateControls() override;

private:
    void Fill();
    void PlaceMainWindow();
    void RememberPosition();
    void Apply();
    void CalibrateClick();
    void AutorunClick();
    void AltDetectionClick();
    void NetworkClick();
    // Writes what is pending to the file; a failure is told to the user (once while the
    // calibration writes, so that a failing file does not bury the window in boxes).
    bool SaveNow(bool quietAfterFirst);
    void ReportWriteFailure();

    // ICalibrationHost
    void PostSuspend(bool suspend) override;
    void PostCommand(std::uint8_t command, std::string_view argument) override;
    void PostApplySettings() override;
    void StoreMaxVoltage() override;
    void StoreMinVoltage() override;
    void SetButtonCaption(std::string_view caption) override;
    void SetWindowCaption(std::string_view caption) override;

    TMonitorSettings settings_;
    TNetServerSettings network_; // written by "Применить" only
    TCalibration calibration_;
    float lastBatteryVoltage_ = 0; // of the last status record
    bool writeFailureTold_ = false;

    TContainer group_, extra_;
    std::array<TLabel, 12> labels_;
    TSpinEdit interval_, failInterval_, statInterval_, timeOut_;
    TComboBox port_;
    TButton dtr_, rts_;
    TEdit minVoltage_, maxVoltage_;
    TButton calibrate_;
    TButton altDetection_;
    TSpinEdit altDiff_;
    TButton apply_;
    TButton autorun_;
    TButton networkButton_;
};
