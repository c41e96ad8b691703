// kovrin-ui: reads and drives the dialog library's windows in a running monitor, as a
// user or a screen reader would, for the end-to-end tests and the screenshots.
//   kovrin-ui wait-main [SECONDS]       exit 0 once the main window is shown; prints its handle
//   kovrin-ui wait-gone [SECONDS]       exit 0 once no window of the library is left
//   kovrin-ui count-main                prints how many main windows exist
//   kovrin-ui caption                   prints the main window's caption
//   kovrin-ui tab N                     shows page N (0-6)
//   kovrin-ui text ID                   prints the text of the control with that identifier
//   kovrin-ui enabled ID                exit 0 when that control is enabled
//   kovrin-ui color ID                  prints the colour in the middle of that control (RRGGBB)
//   kovrin-ui click ID|TEXT [WINDOW]    presses a button by identifier or caption (posted)
//   kovrin-ui set-text ID TEXT          replaces a control's text
//   kovrin-ui type ID TEXT              types the text into the control, a character at a time
//   kovrin-ui key ID VK                 presses a key (decimal virtual-key code) in the control
//   kovrin-ui select ID INDEX           chooses an entry of a drop-down list
//   kovrin-ui list ID                   prints a list's rows, cells separated by tabs
//   kovrin-ui select-row ID ROW         selects a list's row
//   kovrin-ui line-color ID LINE        prints the colour a text field's line shows (RRGGBB)
//   kovrin-ui windows                   prints the library's top-level windows: class, caption,
//   rect kovrin-ui rect [CAPTION]            prints the screen rectangle of the main (or that)
//   window kovrin-ui has-module NAME           exit 0 when the monitor's process has that DLL
//   loaded
//   kovrin-ui soak OPENINGS SECONDS PID opens and closes the window at least OPENINGS times
//                                       and for at least SECONDS, visiting every page and
//                                       sending "Q1" from the terminal each time; prints the
//                                       monitor's resources (PID: its Linux process) after
//                                       the first and the last opening
// Texts are printed in the ANSI code page (1251). A TEXT or CAPTION on the command line
// reaches the program through Wine's conversion of the command line.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char FormClass[] = "TarvoForm";

// Memory inside the window's process, for the messages whose parameters point at a
// structure: the system copies only text messages between processes, as screen readers
// know; everything else must be where the window's code can read it.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, std::size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    bool Ok() const { return address_ != nullptr; }
    LPARAM Address(std::size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset);
    }
    bool Put(const void* data, std::size_t size, std::size_t offset = 0) {
        SIZE_T done = 0;
        return address_ && offset + size <= size_ &&
               WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size,
                                  &done);
    }
    bool Get(void* data, std::size_t size, std::size_t offset = 0) {
        SIZE_T done = 0;
        return address_ && offset + size <= size_ &&
               ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size,
                                 &done);
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    std::size_t size_;
};

std::string Text(HWND hwnd) {
    char buf[2048] = {};
    const LRESULT n = SendMessageA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return std::string(buf, static_cast<std::size_t>(n > 0 ? n : 0));
}

std::string ClassOf(HWND hwnd) {
    char cls[128] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return cls;
}

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM out) {
    auto* all = reinterpret_cast<std::vector<HWND>*>(out);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    all->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevel() {
    std::vector<HWND> all;
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&all));
    return all;
}

// The main window: the library's form whose caption starts with the product's name.
HWND MainWindow() {
    for (HWND w : TopLevel())
        if (ClassOf(w) == FormClass && IsWindowVisible(w) && Text(w).rfind("Tarvo", 0) == 0)
            return w;
    return nullptr;
}

int CountMain() {
    int n = 0;
    for (HWND w : TopLevel())
        if (ClassOf(w) == FormClass && Text(w).rfind("Tarvo", 0) == 0) ++n;
    return n;
}

// The library's windows: the forms and boxes of the main window's thread.
std::vector<HWND> LibraryWindows() {
    std::vector<HWND> out;
    HWND main = MainWindow();
    if (!main) return out;
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    for (HWND w : TopLevel())
        if (GetWindowThreadProcessId(w, nullptr) == thread && IsWindowVisible(w)) out.push_back(w);
    return out;
}

struct Search {
    int Id;
    const std::string* Text;
    HWND Found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    if (s->Text ? Text(hwnd) == *s->Text && ClassOf(hwnd) == "Button"
                : GetDlgCtrlID(hwnd) == s->Id) {
        s->Found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A control by identifier (digits) or a button by caption, in the library's windows, the
// newest (an editor over the main window) first.
HWND Control(const char* idOrText) {
    const bool byId = idOrText[0] >= '0' && idOrText[0] <= '9';
    const std::string text = idOrText;
    Search s{byId ? std::atoi(idOrText) : 0, byId ? nullptr : &text, nullptr};
    for (HWND w : LibraryWindows()) {
        EnumChildWindows(w, &Visit, reinterpret_cast<LPARAM>(&s));
        if (s.Found) return s.Found;
    }
    return nullptr;
}

// A window just opened may still be building its controls: wait a little for one.
HWND Require(const char* idOrText) {
    HWND h = Control(idOrText);
    for (int i = 0; !h && i < 50; ++i) {
        Sleep(100);
        h = Control(idOrText);
    }
    if (!h) {
        std::fprintf(stderr, "no control %s\n", idOrText);
        std::exit(1);
    }
    return h;
}

int WaitMain(int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (HWND w = MainWindow()) {
            std::printf("%p\n", static_cast<void*>(w));
            return 0;
        }
        Sleep(100);
    }
    return 1;
}

int WaitGone(int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (CountMain() == 0) return 0;
        Sleep(100);
    }
    return 1;
}

int SelectTab(int index) {
    HWND main = MainWindow();
    if (!main) return 1;
    HWND tabs = FindWindowExA(main, nullptr, WC_TABCONTROLA, nullptr);
    if (!tabs) return 1;
    // As from the keyboard: the tab control moves one page per arrow key and tells its
    // window itself (a notification cannot be sent from another process).
    for (int tries = 0; tries < 20; ++tries) {
        const int current = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
        if (current == index) return 0;
        const UINT vk = current < index ? VK_RIGHT : VK_LEFT;
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
        PostMessageA(tabs, WM_KEYDOWN, vk, scan | 1);
        PostMessageA(tabs, WM_KEYUP, vk, scan | 1 | (1u << 30) | (1u << 31));
        for (int i = 0; i < 50 && SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == current; ++i)
            Sleep(10);
    }
    return 1;
}

int PrintColor(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW);
    RECT r;
    GetClientRect(hwnd, &r);
    // Read off the screen: another process's window surface is not ours to read. A little
    // way in from the left edge, at mid height, beside a centred caption.
    POINT at{3, (r.bottom - r.top) / 2};
    ClientToScreen(hwnd, &at);
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, at.x, at.y);
    ReleaseDC(nullptr, dc);
    std::printf("%02X%02X%02X\n", GetRValue(c), GetGValue(c), GetBValue(c));
    return 0;
}

int PrintList(HWND list) {
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    constexpr std::size_t TextSize = 512;
    RemoteBuffer remote(list, sizeof(LVITEMA) + TextSize);
    if (!remote.Ok()) return 1;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            LVITEMA item{};
            item.iSubItem = c;
            item.pszText = reinterpret_cast<char*>(remote.Address(sizeof(LVITEMA)));
            item.cchTextMax = TextSize;
            const char empty = 0;
            remote.Put(&empty, 1, sizeof(LVITEMA));
            remote.Put(&item, sizeof item);
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(r), remote.Address());
            char buf[TextSize] = {};
            remote.Get(buf, TextSize - 1, sizeof(LVITEMA));
            std::printf("%s%s", c ? "\t" : "", buf);
        }
        std::printf("\n");
    }
    return 0;
}

int SelectRow(HWND list, int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    RemoteBuffer remote(list, sizeof item);
    if (!remote.Put(&item, sizeof item)) return 1;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.Address());
    return 0;
}

// The colour a text field's line is written in, as the screen shows it: the commonest
// colour of the line's band other than the field's background (its commonest colour).
int PrintLineColor(HWND edit, int line) {
    RedrawWindow(edit, nullptr, nullptr, RDW_UPDATENOW);
    const LRESULT start = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    const LRESULT next = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(line + 1), 0);
    if (start < 0) return 1;
    // A rich edit control reports a character's position into a POINTL of its own process.
    RemoteBuffer remote(edit, 2 * sizeof(POINTL));
    if (!remote.Ok()) return 1;
    SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(remote.Address()), start);
    POINTL at{}, below{};
    remote.Get(&at, sizeof at);
    int height = 12;
    if (next > start) {
        SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(remote.Address(sizeof(POINTL))),
                     next);
        remote.Get(&below, sizeof below, sizeof(POINTL));
        if (below.y > at.y) height = static_cast<int>(below.y - at.y);
    }
    RECT client;
    GetClientRect(edit, &client);
    if (at.y < 0 || at.y + height > client.bottom) {
        std::printf("hidden\n");
        return 0;
    }
    POINT origin{static_cast<LONG>(at.x), static_cast<LONG>(at.y)};
    ClientToScreen(edit, &origin);
    HDC dc = GetDC(nullptr);
    std::vector<std::pair<COLORREF, int>> counts;
    const int width = static_cast<int>(client.right - at.x);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(dc, origin.x + x, origin.y + y);
            auto found = counts.begin();
            while (found != counts.end() && found->first != c)
                ++found;
            if (found == counts.end())
                counts.push_back({c, 1});
            else
                ++found->second;
        }
    ReleaseDC(nullptr, dc);
    std::sort(counts.begin(), counts.end(),
              [](const auto& a, const auto& b) { return a.second > b.second; });
    if (counts.size() < 2) {
        std::printf("none\n");
        return 0;
    }
    const COLORREF c = counts[1].first;
    std::printf("%02X%02X%02X\n", GetRValue(c), GetGValue(c), GetBValue(c));
    return 0;
}

int SelectCombo(HWND combo, int index) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // As a user's choice: the owner hears of it.
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return 0;
}

int PrintWindows() {
    for (HWND w : LibraryWindows()) {
        RECT r;
        GetWindowRect(w, &r);
        std::printf("%s\t%s\t%ld %ld %ld %ld\n", ClassOf(w).c_str(), Text(w).c_str(), r.left, r.top,
                    r.right - r.left, r.bottom - r.top);
    }
    return 0;
}

int PrintRect(const char* caption) {
    HWND w = nullptr;
    if (!caption)
        w = MainWindow();
    else
        for (HWND t : LibraryWindows())
            if (Text(t) == caption) w = t;
    if (!w) return 1;
    RECT r;
    GetWindowRect(w, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}

// Whether the monitor (the process of its hidden window) has a module of that name.
struct TModuleQuery {
    HANDLE Process;
    const char* Name;
    int Found;
};

DWORD WINAPI FindModule(LPVOID parameter) {
    TModuleQuery& q = *static_cast<TModuleQuery*>(parameter);
    HMODULE modules[512];
    DWORD bytes = 0;
    q.Found = 1;
    if (EnumProcessModules(q.Process, modules, sizeof modules, &bytes)) {
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
            char base[MAX_PATH] = {};
            GetModuleBaseNameA(q.Process, modules[i], base, sizeof base);
            if (lstrcmpiA(base, q.Name) == 0) q.Found = 0;
        }
    }
    return 0;
}

// 0 when the monitor has the module loaded, 1 when not, 2 without a monitor, 3 when no
// answer could be had. Wine walks the other process's loader list by reading its memory;
// a walk that meets the list while the monitor unloads the library can circle for ever
// (seen once in 800 openings). So each walk gets two seconds on a thread of its own, and a
// circling one is ended and the walk tried again.
int HasModule(const char* name) {
    HWND hidden = FindWindowA("KovrinWndClass", nullptr);
    if (!hidden) return 2;
    DWORD pid = 0;
    GetWindowThreadProcessId(hidden, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 2;
    int found = 3;
    for (int attempt = 0; attempt < 5 && found == 3; ++attempt) {
        auto* query = new TModuleQuery{process, name, 3};
        HANDLE thread = CreateThread(nullptr, 0, FindModule, query, 0, nullptr);
        if (!thread) {
            delete query;
            break;
        }
        if (WaitForSingleObject(thread, 2000) == WAIT_OBJECT_0) {
            found = query->Found;
            delete query;
        } else {
            TerminateThread(thread, 1); // the query is left to the ended thread's memory
            std::fprintf(stderr, "has-module: the module list walk circled; trying again\n");
        }
        CloseHandle(thread);
    }
    CloseHandle(process);
    return found;
}

// ---- The window opened and closed again and again, and what the monitor holds meanwhile.

HANDLE MonitorProcess() {
    HWND hidden = FindWindowA("KovrinWndClass", nullptr);
    DWORD pid = 0;
    if (hidden) GetWindowThreadProcessId(hidden, &pid);
    return pid ? OpenProcess(PROCESS_DUP_HANDLE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
                             FALSE, pid)
               : nullptr;
}

struct TResources {
    int Handles = 0, Threads = 0, Windows = 0;
    long RssKb = 0, DataKb = 0;
};

BOOL CALLBACK CountOwn(HWND hwnd, LPARAM param) {
    auto* c = reinterpret_cast<std::pair<DWORD, int>*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->first) ++c->second;
    return TRUE;
}

// Kernel handles by asking each handle value of the process (Wine counts none for it),
// threads, top-level windows (hidden ones too), and memory from the Linux side.
TResources Measure(HANDLE process, const char* linuxPid) {
    TResources r;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0,
                            FALSE, DUPLICATE_SAME_ACCESS)) {
            ++r.Handles;
            CloseHandle(copy);
        }
    }
    const DWORD pid = GetProcessId(process);
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 t{};
    t.dwSize = sizeof t;
    for (BOOL more = Thread32First(snap, &t); more; more = Thread32Next(snap, &t))
        if (t.th32OwnerProcessID == pid) ++r.Threads;
    CloseHandle(snap);
    std::pair<DWORD, int> windows{pid, 0};
    EnumWindows(&CountOwn, reinterpret_cast<LPARAM>(&windows));
    r.Windows = windows.second;
    const std::string status = std::string("Z:\\proc\\") + linuxPid + "\\status";
    if (FILE* f = std::fopen(status.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            std::sscanf(line, "VmRSS: %ld", &r.RssKb);
            std::sscanf(line, "VmData: %ld", &r.DataKb);
        }
        std::fclose(f);
    }
    return r;
}

void PrintResources(const char* when, const TResources& r) {
    std::printf("%s: kernel handles %d, threads %d, windows %d, VmRSS %ld kB, VmData %ld kB\n",
                when, r.Handles, r.Threads, r.Windows, r.RssKb, r.DataKb);
    std::fflush(stdout);
}

template <typename F> bool WaitFor(F done, int ms) {
    for (int i = 0; i < ms / 20; ++i) {
        if (done()) return true;
        Sleep(20);
    }
    return done();
}

long long MsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 t)
        .count();
}

// One opening: the tray click, every page, a command from the terminal and its answer, the
// menu's close, and the library unloaded. Prints what went wrong and returns false.
bool OneOpening(HWND hidden, long long& openMs, long long& closeMs) {
    auto start = std::chrono::steady_clock::now();
    PostMessageA(hidden, 1024, 0, 513); // a left click on the tray icon
    if (!WaitFor([] { return MainWindow() != nullptr && Control("500") != nullptr; }, 20000)) {
        std::printf("the window did not open\n");
        return false;
    }
    openMs = MsSince(start);
    HWND main = MainWindow();
    for (int page = 0; page < 7; ++page)
        if (SelectTab(page) != 0) {
            std::printf("page %d was not shown\n", page);
            return false;
        }
    SelectTab(4);
    HWND terminal = Control("500");
    // Lines, not text: the history grows beyond any buffer over hundreds of openings.
    const auto lines = [terminal] { return SendMessageA(terminal, EM_GETLINECOUNT, 0, 0); };
    const LRESULT before = lines();
    for (const char c : std::string("Q1"))
        PostMessageA(terminal, WM_CHAR, static_cast<unsigned char>(c), 1);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(VK_RETURN, 0)) << 16;
    PostMessageA(terminal, WM_KEYDOWN, VK_RETURN, scan | 1);
    PostMessageA(terminal, WM_KEYUP, VK_RETURN, scan | 1 | (1u << 30) | (1u << 31));
    // The answer (or its grey absence) lands and the window takes input again.
    if (!WaitFor([&] { return lines() >= before + 2 && IsWindowEnabled(main); }, 15000)) {
        std::printf("the terminal's command was not answered (%d lines, then %d; the window %s)\n",
                    static_cast<int>(before), static_cast<int>(lines()),
                    IsWindowEnabled(main) ? "enabled" : "disabled");
        return false;
    }
    start = std::chrono::steady_clock::now();
    PostMessageA(hidden, WM_COMMAND, 2, 0); // the tray menu's close item
    if (!WaitFor([] { return CountMain() == 0 && HasModule("DIALOG.DLL") == 1; }, 20000)) {
        std::printf("the window did not close, or the library stayed loaded\n");
        return false;
    }
    closeMs = MsSince(start);
    return true;
}

int Soak(int openings, int seconds, const char* linuxPid) {
    HWND hidden = FindWindowA("KovrinWndClass", nullptr);
    HANDLE process = MonitorProcess();
    if (!hidden || !process) {
        std::printf("no monitor\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    TResources first{};
    long long slowestOpen = 0, slowestClose = 0;
    int done = 0;
    while (done < openings || MsSince(start) < seconds * 1000LL) {
        long long openMs = 0, closeMs = 0;
        if (!OneOpening(hidden, openMs, closeMs)) {
            std::printf("after %d openings\n", done);
            return 1;
        }
        ++done;
        slowestOpen = std::max(slowestOpen, openMs);
        slowestClose = std::max(slowestClose, closeMs);
        if (done == 1) {
            first = Measure(process, linuxPid);
            PrintResources("after the first opening", first);
        }
        if (done % 50 == 0) {
            const TResources now = Measure(process, linuxPid);
            std::printf("%d openings in %lld s: VmRSS %ld kB, VmData %ld kB\n", done,
                        MsSince(start) / 1000, now.RssKb, now.DataKb);
            std::fflush(stdout);
        }
    }
    const TResources last = Measure(process, linuxPid);
    PrintResources("after the last opening", last);
    std::printf("openings: %d in %lld s; slowest opening %lld ms, slowest close %lld ms\n", done,
                MsSince(start) / 1000, slowestOpen, slowestClose);
    CloseHandle(process);
    const bool same = last.Handles == first.Handles && last.Threads == first.Threads &&
                      last.Windows == first.Windows;
    return same ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kovrin-ui COMMAND [ARGS]; see the source's opening comment\n");
        return 2;
    }
    const std::string cmd = argv[1];
    auto arg = [&](int i) -> const char* {
        if (i >= argc) {
            std::fprintf(stderr, "%s: missing argument\n", cmd.c_str());
            std::exit(2);
        }
        return argv[i];
    };
    if (cmd == "wait-main") return WaitMain(argc > 2 ? std::atoi(argv[2]) : 20);
    if (cmd == "wait-gone") return WaitGone(argc > 2 ? std::atoi(argv[2]) : 20);
    if (cmd == "count-main") return std::printf("%d\n", CountMain()) > 0 ? 0 : 1;
    if (cmd == "windows") return PrintWindows();
    if (cmd == "rect") return PrintRect(argc > 2 ? argv[2] : nullptr);
    if (cmd == "has-module") return HasModule(arg(2));
    if (cmd == "soak") return Soak(std::atoi(arg(2)), std::atoi(arg(3)), arg(4));
    HWND main = MainWindow();
    if (!main) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    if (cmd == "caption") return std::printf("%s\n", Text(main).c_str()) >= 0 ? 0 : 1;
    if (cmd == "tab") return SelectTab(std::atoi(arg(2)));
    if (cmd == "text") return std::printf("%s\n", Text(Require(arg(2))).c_str()) >= 0 ? 0 : 1;
    if (cmd == "enabled") return IsWindowEnabled(Require(arg(2))) ? 0 : 1;
    if (cmd == "color") return PrintColor(Require(arg(2)));
    if (cmd == "click") {
        PostMessageA(Require(arg(2)), BM_CLICK, 0, 0);
        return 0;
    }
    if (cmd == "set-text") return SetWindowTextA(Require(arg(2)), arg(3)) ? 0 : 1;
    if (cmd == "type") {
        HWND h = Require(arg(2));
        for (const unsigned char c : std::string(arg(3)))
            PostMessageA(h, WM_CHAR, c, 1);
        return 0;
    }
    if (cmd == "key") {
        HWND h = Require(arg(2));
        const UINT vk = static_cast<UINT>(std::atoi(arg(3)));
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
        PostMessageA(h, WM_KEYDOWN, vk, scan | 1);
        PostMessageA(h, WM_KEYUP, vk, scan | 1 | (1u << 30) | (1u << 31));
        return 0;
    }
    if (cmd == "select") return SelectCombo(Require(arg(2)), std::atoi(arg(3)));
    if (cmd == "list") return PrintList(Require(arg(2)));
    if (cmd == "line-color") return PrintLineColor(Require(arg(2)), std::atoi(arg(3)));
    if (cmd == "select-row") return SelectRow(Require(arg(2)), std::atoi(arg(3)));
    std::fprintf(stderr, "unknown command %s\n", cmd.c_str());
    return 2;
}
