// window_bench: times of the window library, reported, never judged.
//   window_bench open N     against the running monitor: from a left click on the tray icon
//                           to the main window shown with the first status painted, N times
//   window_bench status N   the library loaded here, playing the monitor: one status record
//                           handled with every meter repainted, N records
// Prints "median max" lines in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/messages.h"
#include "common/records.h"

namespace {

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::string Text(HWND hwnd) {
    char buf[256] = {};
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                             SMTO_NORMAL, 2000, &n))
        return {};
    return std::string(buf, n);
}

struct TFind {
    int Id;
    HWND Found;
};
BOOL CALLBACK ById(HWND hwnd, LPARAM p) {
    auto* f = reinterpret_cast<TFind*>(p);
    if (GetDlgCtrlID(hwnd) != f->Id) return TRUE;
    f->Found = hwnd;
    return FALSE;
}
HWND Child(HWND root, int id) {
    TFind f{id, nullptr};
    EnumChildWindows(root, &ById, reinterpret_cast<LPARAM>(&f));
    return f.Found;
}

BOOL CALLBACK FindMain(HWND hwnd, LPARAM p) {
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::strcmp(cls, "TarvoForm") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    char caption[64] = {};
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (std::strncmp(caption, "Tarvo", 5) != 0) return TRUE;
    *reinterpret_cast<HWND*>(p) = hwnd;
    return FALSE;
}
HWND MainWindow() {
    HWND main = nullptr;
    EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&main));
    return main;
}

void Report(const char* what, std::vector<double> ms) {
    if (ms.empty()) {
        std::printf("%s: no measurement\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s: median %.1f ms, max %.1f ms over %zu\n", what, ms[(ms.size() - 1) / 2],
                ms.back(), ms.size());
}

constexpr int InputDial = 100; // the input voltage dial's panel

int Open(int times) {
    HWND hidden = FindWindowA("KovrinWndClass", nullptr);
    if (!hidden) {
        std::fprintf(stderr, "no monitor running\n");
        return 1;
    }
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        const double start = NowMs();
        PostMessageA(hidden, UM_TRAYICON, 0, 513);
        HWND main = nullptr, dial = nullptr;
        // Shown, and the dial reads the status the monitor sent in answer to the window.
        while (NowMs() - start < 20000) {
            if (!main) main = MainWindow();
            if (main && !dial) dial = Child(main, InputDial);
            if (dial) {
                const std::string reading = Text(dial);
                if (!reading.empty() && reading != "0.0") break;
            }
            Sleep(1);
        }
        if (!dial) {
            std::fprintf(stderr, "opening %d: the window did not show a status\n", i + 1);
            return 1;
        }
        // Whatever painting is still due is done before the clock stops.
        RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        ms.push_back(NowMs() - start);
        PostMessageA(hidden, WM_COMMAND, 2, 0); // the tray menu's "close the window"
        for (int w = 0; w < 2000 && MainWindow(); ++w)
            Sleep(5);
        Sleep(300);
    }
    Report("tray click to the window shown with its first status", ms);
    return 0;
}

HWND ReadyWindow = nullptr;
LRESULT CALLBACK MonitorProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == UM_DIALOGREADY) ReadyWindow = reinterpret_cast<HWND>(wParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int Status(int count) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &MonitorProcedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WindowBenchMonitor";
    RegisterClassA(&wc);
    HWND monitor = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 1, 1, nullptr,
                                   nullptr, wc.hInstance, nullptr);
    HMODULE library = LoadLibraryA("DIALOG.DLL");
    auto create = reinterpret_cast<void(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(GetProcAddress(library, "CreateDialogForm")));
    auto destroy = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(library, "DestroyDialogForm")));
    if (!create || !destroy) {
        std::fprintf(stderr, "no DIALOG.DLL beside the program\n");
        return 1;
    }
    create(monitor);
    const double start = NowMs();
    while (!ReadyWindow && NowMs() - start < 20000) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
        Sleep(1);
    }
    if (!ReadyWindow) return 1;
    HWND main = ReadyWindow;
    TUpsRating rating{220, 12, 50, 3};
    SendMessageA(main, UM_TODIALOG, TD_RATING, reinterpret_cast<LPARAM>(&rating));
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        TUpsStatus s{};
        // Every value moves, so every meter and gauge must be drawn anew.
        s.InputVoltage = 200.0f + static_cast<float>(i % 50);
        s.InputFaultVoltage = s.InputVoltage - 10;
        s.OutputVoltage = 210.0f + static_cast<float>(i % 30);
        s.BatteryVoltage = 12.0f + static_cast<float>(i % 20) / 10.0f;
        s.InputFrequency = 48.0f + static_cast<float>(i % 40) / 10.0f;
        s.Temperature = 20.0f + static_cast<float>(i % 30);
        s.Load = static_cast<std::uint8_t>(i % 100);
        s.BatteryCharge = static_cast<std::uint8_t>(100 - i % 100);
        s.Flags = static_cast<std::uint16_t>(i & 1);
        s.BatteryTime = i / 86400.0;
        const double t0 = NowMs();
        SendMessageA(main, UM_TODIALOG, TD_STATUS, reinterpret_cast<LPARAM>(&s));
        RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        ms.push_back(NowMs() - t0);
    }
    Report("one status record handled and every meter repainted", ms);
    destroy();
    FreeLibrary(library);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_bench open N | status N\n");
        return 2;
    }
    const int n = std::atoi(argv[2]);
    if (std::strcmp(argv[1], "open") == 0) return Open(n);
    if (std::strcmp(argv[1], "status") == 0) return Status(n);
    return 2;
}
