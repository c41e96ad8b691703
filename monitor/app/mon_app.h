#pragma once
#include <string>

#include "monitor/link/megatec_mon.h"

// The monitor program: adds the settings file "Kovrin.ini", read at every Open.
class TMonApp : public TMegaTecMon {
public:
    explicit TMonApp(TPlatform& platform);
    ~TMonApp() override;

    // Reads every key of the settings file and hands it to its setter, in a fixed order.
    void LoadSettings();
    const std::string& IniPath() const { return iniPath_; }

private:
    std::string iniPath_;
};
