#include <string>
#include <utility>

#include "monitor/runtime/kovrin.h"
#include "monitor/runtime/tray_logic.h"

namespace {

std::string CutTip(std::string tip) {
    if (tip.size() > TrayTipMax) tip.resize(TrayTipMax);
    return tip;
}

} // namespace

void TKovrin::AddTrayIcon() {
    trayIcon_ = "MAINICON";
    trayTip_ = CutTip(TrayTitle);
    platform_.Tray.Add(window_, trayIcon_, trayTip_);
}

void TKovrin::UpdateTrayIcon(const char* icon, const char* tip) {
    std::string newIcon = icon ? std::string(icon) : trayIcon_;
    std::string newTip = tip ? CutTip(tip) : trayTip_;
    // The shell is asked only when something shows differently.
    if (newIcon == trayIcon_ && newTip == trayTip_) return;
    trayIcon_ = std::move(newIcon);
    trayTip_ = std::move(newTip);
    platform_.Tray.Modify(window_, trayIcon_, trayTip_);
}

void TKovrin::RemoveTrayIcon() {
    platform_.Tray.Delete(window_);
}
