#include "dialog/mainwindow/settings_page_win32.h"

bool TSettingsPage::CreateControls() {
    TContainerArgs g;
    g.Parent = Parent();
    g.Rect = {0, 0, 473, 181};
    g.Caption = " Монитор ";
    g.Frame = true;
    return group_.Create(g);
}

void TSettingsPage::Load() {}
void TSettingsPage::Save() {}
void TSettingsPage::LoadAutorun() {}
void TSettingsPage::OnLinkState(bool) {}
void TSettingsPage::OnStatus(const TUpsStatus&) {}
void TSettingsPage::StopCalibration() {
    calibrating_ = false;
}
void TSettingsPage::SetBatteryLimits(float min, float max) {
    minBatt_ = min;
    maxBatt_ = max;
}
