// window_bench: times of the window library, reported, never judged.
//   window_bench open N     against the running monitor: from a left click on the tray icon
//                           to the main window shown with the first status painted, N times
//   window_bench status N   the library loaded here, playing the monitor: one status record
//                           handled with every meter repainted, N records, then N records
//                           that change nothing the window shows
//   window_bench journal N  the window opened over a journal of N records (and over an empty
//                           one, for the ratio), then live records added at the top of the list
//   window_bench diagram N  one diagram refresh over N statistics records 10 s apart, and a
//                           plain read of the same file for what the reading alone costs
//   window_bench refresh 1  one diagram refresh over the statistics file left beside the
//                           program, over its last ten days (cold when the caller has put
//                           the file out of the page cache)
// The journal and diagram runs write their files beside the program (its directory is the
// one the library reads). Prints "median max" lines in milliseconds.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "common/datetime.h"
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

// DIALOG.DLL loaded beside the program, with a hidden window that plays the monitor.
class TLibrary {
public:
    bool Load() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &MonitorProcedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WindowBenchMonitor";
        RegisterClassA(&wc);
        monitor_ = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 1, 1, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        module_ = LoadLibraryA("DIALOG.DLL");
        create_ = reinterpret_cast<void(WINAPI*)(HWND)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "CreateDialogForm")));
        destroy_ = reinterpret_cast<void(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DestroyDialogForm")));
        if (create_ && destroy_) return true;
        std::fprintf(stderr, "no DIALOG.DLL beside the program\n");
        return false;
    }
    // The main window, once it says it is ready; null after 20 s.
    HWND Open() {
        ReadyWindow = nullptr;
        create_(monitor_);
        const double start = NowMs();
        while (!ReadyWindow && NowMs() - start < 20000) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&m);
            Sleep(1);
        }
        return ReadyWindow;
    }
    void Close() { destroy_(); }
    ~TLibrary() {
        if (module_) FreeLibrary(module_);
    }

private:
    HWND monitor_ = nullptr;
    HMODULE module_ = nullptr;
    void(WINAPI* create_)(HWND) = nullptr;
    void(WINAPI* destroy_)() = nullptr;
};

int Status(int count) {
    TLibrary library;
    if (!library.Load()) return 1;
    HWND main = library.Open();
    if (!main) return 1;
    TUpsRating rating{220, 12, 50, 3};
    SendMessageA(main, UM_TODIALOG, TD_RATING, reinterpret_cast<LPARAM>(&rating));
    std::vector<double> ms;
    TUpsStatus last{};
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
        last = s;
    }
    Report("one status record handled and every meter repainted", ms);
    // The monitor sends a record whenever anything in it changed; most of the time the
    // values the window shows are those it already shows.
    std::vector<double> same;
    for (int i = 0; i < count; ++i) {
        const double t0 = NowMs();
        SendMessageA(main, UM_TODIALOG, TD_STATUS, reinterpret_cast<LPARAM>(&last));
        RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        same.push_back(NowMs() - t0);
    }
    Report("one status record that changes nothing the window shows", same);
    library.Close();
    return 0;
}

std::string ProgramFile(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1) + name;
}

// A year ago today, at midnight.
double YearAgo() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    DateTimeParts parts;
    parts.Year = now.wYear - 1;
    parts.Month = now.wMonth;
    parts.Day = now.wDay == 29 && now.wMonth == 2 ? 28 : now.wDay;
    return EncodeDateTime(parts);
}

// Written in blocks: a file of 164 MB is not built in memory whole.
template <typename TRecord, typename TMake> void WriteRecords(const char* name, int n, TMake make) {
    std::ofstream out(ProgramFile(name), std::ios::binary | std::ios::trunc);
    std::vector<TRecord> block;
    block.reserve(65536);
    for (int i = 0; i < n; ++i) {
        block.push_back(make(i));
        if (block.size() == block.capacity() || i == n - 1) {
            out.write(reinterpret_cast<const char*>(block.data()),
                      static_cast<std::streamsize>(block.size() * sizeof(TRecord)));
            block.clear();
        }
    }
}

constexpr const char* JournalTexts[] = {"Сбой питающей сети.", "Работа питающей сети возобновлена.",
                                        "Нет ответа от UPS.", "Связь с UPS успешно установлена."};

TJournalRecord JournalEntry(int i, double time) {
    TJournalRecord r{};
    r.Kind = static_cast<std::uint8_t>(i % 4 == 0 ? 2 : 1);
    r.Time = time;
    r.Port.Assign("COM1");
    r.Text.Assign(JournalTexts[i % 4]);
    return r;
}

// The window's opening, from the call to its "ready", with the journal page's list filled.
double TimeOpening(TLibrary& library) {
    const double start = NowMs();
    HWND main = library.Open();
    if (!main) return -1;
    RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double ms = NowMs() - start;
    library.Close();
    return ms;
}

constexpr int JournalList = 400;

int Journal(int count) {
    TLibrary library;
    if (!library.Load()) return 1;
    std::remove(ProgramFile("Kovrin.lgb").c_str());
    std::vector<double> empty, full;
    for (int i = 0; i < 5; ++i)
        empty.push_back(TimeOpening(library));
    const double first = YearAgo();
    WriteRecords<TJournalRecord>("Kovrin.lgb", count,
                                 [&](int i) { return JournalEntry(i, first + 365.0 * i / count); });
    for (int i = 0; i < 5; ++i)
        full.push_back(TimeOpening(library));
    std::printf("journal of %d records (%zu bytes)\n", count, count * sizeof(TJournalRecord));
    Report("window opened over an empty journal", empty);
    Report("window opened over that journal", full);

    HWND main = library.Open();
    if (!main) return 1;
    HWND list = Child(main, JournalList);
    std::vector<double> ms;
    for (int i = 0; i < 200; ++i) {
        const TJournalRecord r = JournalEntry(i, first + 366);
        const double t0 = NowMs();
        SendMessageA(main, UM_TODIALOG, TD_JOURNAL, reinterpret_cast<LPARAM>(&r));
        RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW);
        ms.push_back(NowMs() - t0);
    }
    const LRESULT rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    Report("one live record added at the top of that list", ms);
    std::printf("rows in the list after them: %ld\n", static_cast<long>(rows));
    library.Close();
    return 0;
}

constexpr int JournalDiagramButton = 403;
constexpr int DiagDate = 1201, DiagTime = 1202, DiagWidth = 1204, DiagRefresh = 1205;
constexpr int DiagChart = 1200;

BOOL CALLBACK FindDiagram(HWND hwnd, LPARAM p) {
    char caption[64] = {};
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (!IsWindowVisible(hwnd) || std::strcmp(caption, "Диаграмма") != 0) return TRUE;
    *reinterpret_cast<HWND*>(p) = hwnd;
    return FALSE;
}

// The diagram window opened from the journal page of a window loaded here, set to the
// last ten days of a file whose records are 10 s apart and whose last record is at `last`.
class TDiagramWindow {
public:
    bool Open(double last) {
        if (!library_.Load()) return false;
        HWND main = library_.Open();
        if (!main) return false;
        PostMessageA(Child(main, JournalDiagramButton), BM_CLICK, 0, 0);
        for (int i = 0; i < 2000 && !diagram_; ++i) {
            EnumWindows(&FindDiagram, reinterpret_cast<LPARAM>(&diagram_));
            Sleep(5);
        }
        if (!diagram_) {
            std::fprintf(stderr, "the diagram did not open\n");
            return false;
        }
        // The last ten days of the file: the widest window, at its end.
        const DateTimeParts start = DecodeDateTime(last + 10.0 / 86400 - 10);
        char date[16], time[16];
        std::snprintf(date, sizeof date, "%02d.%02d.%02d", start.Day, start.Month,
                      start.Year % 100);
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", start.Hour, start.Minute, start.Second);
        SetWindowTextA(Child(diagram_, DiagDate), date);
        SetWindowTextA(Child(diagram_, DiagTime), time);
        SendMessageA(Child(diagram_, DiagWidth), CB_SETCURSEL, 7, 0); // "10 суток"
        return true;
    }
    // One refresh, until the chart is painted; in milliseconds.
    double Refresh() {
        HWND refresh = Child(diagram_, DiagRefresh), chart = Child(diagram_, DiagChart);
        const double t0 = NowMs();
        SendMessageA(refresh, BM_CLICK, 0, 0);
        RedrawWindow(chart, nullptr, nullptr, RDW_UPDATENOW);
        return NowMs() - t0;
    }
    std::string Says() {
        const std::string said = Text(Child(diagram_, DiagChart));
        return said.substr(0, said.find('\n'));
    }
    ~TDiagramWindow() {
        if (diagram_) {
            PostMessageA(diagram_, WM_CLOSE, 0, 0);
            for (int i = 0; i < 400 && IsWindow(diagram_); ++i)
                Sleep(5);
        }
        library_.Close();
    }

private:
    TLibrary library_;
    HWND diagram_ = nullptr;
};

int Diagram(int count) {
    const double first = YearAgo(), step = 10.0 / 86400;
    WriteRecords<TStatRecord>("Stat.ups", count, [&](int i) {
        TStatRecord r{};
        r.Time = first + i * step;
        r.Status.InputVoltage = 215.0f + static_cast<float>(i % 11);
        r.Status.OutputVoltage = 220.0f;
        r.Status.BatteryVoltage = 13.5f;
        r.Status.InputFrequency = 50.0f;
        r.Status.Load = static_cast<std::uint8_t>(20 + i % 7);
        r.Status.BatteryCharge = 100;
        return r;
    });
    const std::size_t bytes = count * sizeof(TStatRecord);
    std::printf("statistics of %d records 10 s apart (%zu bytes)\n", count, bytes);

    // What reading the file alone costs, in the same blocks of 1 MB, from the page cache.
    std::vector<double> reads;
    std::vector<char> block(1 << 20);
    for (int i = 0; i < 3; ++i) {
        const double t0 = NowMs();
        HANDLE f = CreateFileA(ProgramFile("Stat.ups").c_str(), GENERIC_READ, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        while (ReadFile(f, block.data(), static_cast<DWORD>(block.size()), &got, nullptr) && got)
            ;
        CloseHandle(f);
        reads.push_back(NowMs() - t0);
    }
    Report("the file read whole", reads);

    TDiagramWindow window;
    if (!window.Open(first + (count - 1) * step)) return 1;
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i)
        ms.push_back(window.Refresh());
    Report("one diagram refresh over that file", ms);
    std::printf("the chart says: %s\n", window.Says().c_str());
    return 0;
}

// One refresh over the Stat.ups beside the program as it is: the caller has put the file
// out of the page cache, or not.
int RefreshOnce() {
    HANDLE f = CreateFileA(ProgramFile("Stat.ups").c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size{};
    TStatRecord last{};
    DWORD got = 0;
    const bool read = f != INVALID_HANDLE_VALUE && GetFileSizeEx(f, &size) &&
                      size.QuadPart >= static_cast<LONGLONG>(sizeof last);
    if (read) {
        LARGE_INTEGER at;
        at.QuadPart = size.QuadPart / sizeof last * sizeof last - sizeof last;
        SetFilePointerEx(f, at, nullptr, FILE_BEGIN);
        ReadFile(f, &last, sizeof last, &got, nullptr);
    }
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    if (!read || got != sizeof last) {
        std::fprintf(stderr, "no statistics beside the program\n");
        return 1;
    }
    TDiagramWindow window;
    if (!window.Open(last.Time)) return 1;
    const double ms = window.Refresh();
    std::printf("one diagram refresh: %.1f ms; the chart says: %s\n", ms, window.Says().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: window_bench open N | status N | journal N | diagram N | refresh 1\n");
        return 2;
    }
    const int n = std::atoi(argv[2]);
    if (std::strcmp(argv[1], "open") == 0) return Open(n);
    if (std::strcmp(argv[1], "status") == 0) return Status(n);
    if (std::strcmp(argv[1], "journal") == 0) return Journal(n);
    if (std::strcmp(argv[1], "diagram") == 0) return Diagram(n);
    if (std::strcmp(argv[1], "refresh") == 0) return RefreshOnce();
    return 2;
}
