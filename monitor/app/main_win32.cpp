#include <windows.h>

#include <memory>
#include <string>

#include "common/clock.h"
#include "common/files.h"
#include "monitor/app/mon_app.h"
#include "monitor/netserver/net_server.h"
#include "monitor/runtime/win32_platform.h"

namespace {

// Directory of the running executable, with its trailing backslash.
std::string ProgramDirectory() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::string();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return std::string(); // no path is longer
        path.resize(path.size() * 2);
    }
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

} // namespace

// No command-line options. Numbers are formatted without the locale, so there is no
// decimal separator to set for the process.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::unique_ptr<ISerialPort> port = MakeWin32SerialPort();
    const std::unique_ptr<IMessageQueue> queue = MakeWin32MessageQueue();
    const std::unique_ptr<IDesktop> desktop = MakeWin32Desktop();
    const std::unique_ptr<ITrayShell> tray = MakeWin32TrayShell();
    const std::unique_ptr<IPower> power = MakeWin32Power();
    const std::unique_ptr<IDialogLibrary> dialog = MakeWin32DialogLibrary();
    const std::unique_ptr<INetServer> netServer = MakeWin32NetServer();
    TPlatform platform{SystemClock(),      SystemFiles(),  *port,  *queue,
                       *desktop,           *tray,          *power, *dialog,
                       ProgramDirectory(), netServer.get()};
    {
        TMonApp app(platform);
        app.Run();
    }
    return 0;
}
