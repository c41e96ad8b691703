#pragma once
#include <functional>
#include <string>

#include "monitor/link/megatec_mon.h"
#include "support/fake_platform.h"

// A driver on the fake platform with its device log in the program directory. The log
// file exists beforehand, so it is opened shared and the test can read it meanwhile.
struct TestMon : TMegaTecMon {
    using TMegaTecMon::TMegaTecMon;
    TUpsStatus& StatusRecord() { return status_; }
    void SetSettingsHook(std::function<void()> hook) { OnLoadSettings = std::move(hook); }
};

struct LinkBench {
    FakePlatform fp;
    TestMon mon{fp.platform};
    LinkBench() {
        fp.dir.Write("dev.log", "");
        mon.SetPort("COM1");
        mon.SetDevLog("dev.log");
    }
    std::string Log() const { return fp.dir.Read("dev.log"); }
};

inline const std::string StatusLine = "(219.0 219.0 220.0 025 50.0 13.6 25.0 00001001\r";
inline const std::string RatingLine = "#220.0 000 024.0 50.0\r";
// "#", maker (15), blank, model (10), blank, version (10), CR.
inline const std::string InfoLine = "#MEGATEC        "
                                    " UPS-1000  "
                                    " V2.1      \r";
