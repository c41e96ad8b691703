#include "monitor/app/mon_app.h"

TMonApp::TMonApp(TPlatform& platform) : TMegaTecMon(platform) {
    iniPath_ = platform.ProgramDir + "Kovrin.ini";
    OnLoadSettings = [this] { LoadSettings(); };
}
TMonApp::~TMonApp() = default;
void TMonApp::LoadSettings() {}
