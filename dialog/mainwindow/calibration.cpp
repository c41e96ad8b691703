#include "dialog/mainwindow/calibration.h"

#include <cmath>

#include "common/commands.h"
#include "dialog/mainwindow/settings_model.h"

bool TCalibration::UsableReading(float v) {
    return std::isfinite(v) && v > 0.0f;
}

bool TCalibration::Start(float batteryVoltage) {
    if (running_ || !UsableReading(batteryVoltage)) return false;
    host_.SetButtonCaption(StopCalibrationCaption);
    host_.SetWindowCaption(CalibratingWindowCaption);
    host_.PostSuspend(true);
    settings_.MaxBattVoltage = batteryVoltage;
    host_.StoreMaxVoltage();
    host_.PostCommand(CMD_TESTMINUTES, CalibrationTestMinutes);
    running_ = true;
    return true;
}

void TCalibration::OnBatteryVoltage(float v) {
    // A reading of 0 is no battery voltage but a UPS that reported none.
    if (!running_ || !UsableReading(v) || !(v < settings_.MinBattVoltage)) return;
    settings_.MinBattVoltage = v;
    host_.StoreMinVoltage();
}

void TCalibration::Stop(float last) {
    if (!running_) return;
    host_.PostCommand(CMD_CANCELTEST, {});
    host_.PostSuspend(false);
    if (UsableReading(last)) {
        settings_.MinBattVoltage = last;
        host_.StoreMinVoltage();
    }
    host_.PostApplySettings();
    running_ = false;
    host_.SetButtonCaption(CalibrateCaption);
}
