// Times the parsing of one status line and a whole status exchange against the fake
// port, with and without the device log, to show what a poll costs the control thread besides
// waiting.
#include <chrono>
#include <cstdio>
#include <string>

#include "common/commands.h"
#include "monitor/link/megatec_mon.h"
#include "monitor/link/megatec_parse.h"
#include "support/fake_platform.h"

namespace {

const std::string StatusLine = "(219.0 219.0 220.0 025 50.0 13.6 25.0 00001001\r";

template <typename Body> double NanosPerCall(long calls, Body body) {
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i)
        body();
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / static_cast<double>(calls);
}

} // namespace

int main() {
    const long parseCalls = 1000000;
    TUpsStatus status{};
    unsigned sink = 0;
    const double parseNs = NanosPerCall(parseCalls, [&] {
        ParseStatusLine(StatusLine, 10, status);
        sink += status.Flags;
    });
    std::printf("ParseStatusLine:                   %10.1f ns per line   (%ld lines)\n", parseNs,
                parseCalls);

    // With the device log on, every piece is written and flushed to the disk.
    for (const bool logged : {false, true}) {
        FakePlatform fp;
        TMegaTecMon mon(fp.platform);
        mon.SetPort("COM1");
        if (logged) mon.SetDevLog("bench.log");
        mon.Open();
        if (!mon.Opened()) {
            std::printf("PerformCommand(CMD_STATUS): port did not open, not measured\n");
            continue;
        }
        const long calls = logged ? 200 : 200000;
        long failures = 0;
        const double ns = NanosPerCall(calls, [&] {
            fp.port.replies.push_back(StatusLine);
            if (!mon.PerformCommand(CMD_STATUS, nullptr, &status, sizeof status)) ++failures;
            fp.port.written.clear();
            fp.port.readSizes.clear();
        });
        std::printf(
            "PerformCommand(CMD_STATUS), log %-3s %10.1f ns per exchange (%ld, %ld failed)\n",
            logged ? "on" : "off", ns, calls, failures);
        mon.Close();
    }
    std::printf("(checksum %u)\n", sink);
    return 0;
}
