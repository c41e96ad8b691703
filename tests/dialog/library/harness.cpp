#include "harness.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace dialogtest {

namespace {

constexpr char MonitorClass[] = "KovrinTestMonitor";

// Posts the library makes to the monitor; everything else is the test thread's own.
bool IsMonitorMessage(UINT msg) {
    return msg >= UM_TRAYICON && msg <= UM_MESSAGEBOXDONE;
}

struct TSearch {
    const std::string* Text;
    const char* ClassName;
    int Id;
    HWND Found;
    std::vector<HWND>* All;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<TSearch*>(param);
    if (s->All) {
        if (!s->ClassName || lstrcmpiA(ClassOf(hwnd).c_str(), s->ClassName) == 0)
            s->All->push_back(hwnd);
        return TRUE;
    }
    if (s->ClassName && lstrcmpiA(ClassOf(hwnd).c_str(), s->ClassName) != 0) return TRUE;
    if (s->Text && Text(hwnd) != *s->Text) return TRUE;
    if (!s->Text && GetDlgCtrlID(hwnd) != s->Id) return TRUE;
    s->Found = hwnd;
    return FALSE;
}

struct TThreadSearch {
    DWORD Thread;
    bool VisibleOnly;
    std::vector<HWND> Found;
};

BOOL CALLBACK VisitTopLevel(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<TThreadSearch*>(param);
    if (GetWindowThreadProcessId(hwnd, nullptr) == s->Thread &&
        (!s->VisibleOnly || IsWindowVisible(hwnd)))
        s->Found.push_back(hwnd);
    return TRUE;
}

} // namespace

// ---- TFakeMonitor

TFakeMonitor::TFakeMonitor() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = MonitorClass;
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, MonitorClass, "Kovrin test monitor", WS_OVERLAPPED, 0, 0, 10, 10,
                            nullptr, nullptr, GetModuleHandleA(nullptr), this);
}

TFakeMonitor::~TFakeMonitor() {
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK TFakeMonitor::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<TFakeMonitor*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && IsMonitorMessage(msg)) {
        self->posted_.push_back({msg, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void TFakeMonitor::Pump(Ms duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (duration > 0ms) Sleep(5);
    } while (std::chrono::steady_clock::now() < end);
}

bool TFakeMonitor::WaitFor(UINT msg, TPosted* found, Ms timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    std::size_t seen = 0;
    for (;;) {
        Pump();
        for (; seen < posted_.size(); ++seen)
            if (posted_[seen].Msg == msg) {
                if (found) *found = posted_[seen];
                return true;
            }
        if (std::chrono::steady_clock::now() >= end) return false;
        Sleep(5);
    }
}

std::vector<TPosted> TFakeMonitor::Posted(UINT msg) const {
    std::vector<TPosted> out;
    for (const TPosted& p : posted_)
        if (p.Msg == msg) out.push_back(p);
    return out;
}

// ---- TLibrary

bool TLibrary::Load() {
    Free();
    module_ = LoadLibraryA(ProgramFile("DIALOG.DLL").c_str());
    if (!module_) return false;
    create_ = reinterpret_cast<void(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "CreateDialogForm")));
    destroy_ = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DestroyDialogForm")));
    return create_ && destroy_;
}

void TLibrary::Free() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
    create_ = nullptr;
    destroy_ = nullptr;
}

void TLibrary::Create(HWND monitor) {
    if (create_) create_(monitor);
}

void TLibrary::Destroy() {
    if (destroy_) destroy_();
}

// ---- Files

std::string ProgramDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

std::string ProgramFile(const std::string& name) {
    return ProgramDir() + name;
}

void RemoveDataFiles() {
    for (const char* name :
         {"Kovrin.ini", "Events.ups", "CustCmds.ups", "Kovrin.lgb", "Stat.ups", "Term.ups"})
        DeleteFileA(ProgramFile(name).c_str());
}

void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(ProgramFile(name), std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(ProgramFile(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& name) {
    const DWORD a = GetFileAttributesA(ProgramFile(name).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- TSession

TSession::TSession() = default;

TSession::~TSession() {
    Close();
}

bool TSession::Open(Ms timeout) {
    if (!library_.Load()) return false;
    monitor_.Clear();
    library_.Create(monitor_.Handle());
    TPosted ready{};
    if (!monitor_.WaitFor(UM_DIALOGREADY, &ready, timeout)) return false;
    main_ = reinterpret_cast<HWND>(ready.WParam);
    return IsWindow(main_) != FALSE;
}

void TSession::Close() {
    if (!library_.Module()) return;
    library_.Destroy();
    library_.Free();
    main_ = nullptr;
}

void TSession::SendStatus(const TUpsStatus& s) {
    SendMessageA(main_, UM_TODIALOG, TD_STATUS, reinterpret_cast<LPARAM>(&s));
}
void TSession::SendInfo(const TUpsInfo& i) {
    SendMessageA(main_, UM_TODIALOG, TD_INFO, reinterpret_cast<LPARAM>(&i));
}
void TSession::SendRating(const TUpsRating& r) {
    SendMessageA(main_, UM_TODIALOG, TD_RATING, reinterpret_cast<LPARAM>(&r));
}
void TSession::SendJournal(const TJournalRecord& j) {
    SendMessageA(main_, UM_TODIALOG, TD_JOURNAL, reinterpret_cast<LPARAM>(&j));
}
void TSession::SendAnswer(const char* text) {
    SendMessageA(main_, UM_TODIALOG, TD_ANSWER, reinterpret_cast<LPARAM>(text));
}
void TSession::SendNoAnswer() {
    SendMessageA(main_, UM_TODIALOG, TD_NOANSWER, 0);
}
void TSession::PostLinkState(int state) {
    PostMessageA(main_, UM_TODIALOG, TD_LINKSTATE, state);
}

void TSession::Sync() {
    // A sent message is handled after everything posted before it has been taken from
    // the queue only once the thread comes back for it; so: once, a pause, once more.
    SendMessageA(main_, WM_NULL, 0, 0);
    monitor_.Pump(30ms);
    SendMessageA(main_, WM_NULL, 0, 0);
}

// ---- Windows

std::string Text(HWND hwnd) {
    char buf[1024] = {};
    const LRESULT n = SendMessageA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return std::string(buf, static_cast<std::size_t>(n > 0 ? n : 0));
}

std::string ClassOf(HWND hwnd) {
    char cls[128] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return cls;
}

HWND FindByText(HWND root, const std::string& text, const char* className) {
    TSearch s{&text, className, 0, nullptr, nullptr};
    EnumChildWindows(root, &Visit, reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

HWND FindById(HWND root, int id) {
    TSearch s{nullptr, nullptr, id, nullptr, nullptr};
    EnumChildWindows(root, &Visit, reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

std::vector<HWND> Descendants(HWND root, const char* className) {
    std::vector<HWND> all;
    TSearch s{nullptr, className, 0, nullptr, &all};
    EnumChildWindows(root, &Visit, reinterpret_cast<LPARAM>(&s));
    return all;
}

std::vector<HWND> ThreadWindows(HWND anyWindowOfThread, bool visibleOnly) {
    TThreadSearch s{GetWindowThreadProcessId(anyWindowOfThread, nullptr), visibleOnly, {}};
    EnumWindows(&VisitTopLevel, reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

HWND WaitForWindow(HWND anyWindowOfThread, const char* className, const char* caption, Ms timeout) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : ThreadWindows(anyWindowOfThread)) {
                if (className && ClassOf(w) != className) continue;
                if (caption && Text(w) != caption) continue;
                found = w;
                return true;
            }
            return false;
        },
        timeout);
    return found;
}

TBox WaitForBox(HWND anyWindowOfThread, Ms timeout) {
    TBox box;
    box.Hwnd = WaitForWindow(anyWindowOfThread, "#32770", nullptr, timeout);
    if (!box.Hwnd) return box;
    box.Caption = Text(box.Hwnd);
    // The message is the box's longest static text (the icon's is empty).
    for (HWND s : Descendants(box.Hwnd, "Static")) {
        const std::string t = Text(s);
        if (t.size() > box.Message.size()) box.Message = t;
    }
    return box;
}

bool PressBoxButton(const TBox& box, int id) {
    if (!box.Hwnd) return false;
    HWND button = GetDlgItem(box.Hwnd, id);
    if (!button) return false;
    PostMessageA(box.Hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return WaitUntil([&] { return !IsWindow(box.Hwnd) || !IsWindowVisible(box.Hwnd); });
}

bool WaitNoBox(HWND anyWindowOfThread, Ms timeout) {
    return WaitUntil(
        [&] {
            for (HWND w : ThreadWindows(anyWindowOfThread))
                if (ClassOf(w) == "#32770") return false;
            return true;
        },
        timeout);
}

void Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void SelectTab(HWND main, int index) {
    HWND tabs = Descendants(main, WC_TABCONTROLA).front();
    SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR n{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(GetParent(tabs), WM_NOTIFY, n.idFrom, reinterpret_cast<LPARAM>(&n));
}

int SelectedTab(HWND main) {
    HWND tabs = Descendants(main, WC_TABCONTROLA).front();
    return static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
}

void TypeText(HWND control, const std::string& text) {
    for (unsigned char c : text)
        PostMessageA(control, WM_CHAR, c, 1);
}

void PressKey(HWND control, UINT vk) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
    PostMessageA(control, WM_KEYDOWN, vk, scan | 1);
    PostMessageA(control, WM_KEYUP, vk, scan | 1 | (1u << 30) | (1u << 31));
}

COLORREF PixelAt(HWND hwnd, int x, int y) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

int ListRows(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListCell(HWND list, int row, int column) {
    char buf[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buf;
}

bool WaitUntil(const std::function<bool()>& condition, Ms timeout, TFakeMonitor* pump) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        if (pump) pump->Pump();
        Sleep(10);
    }
}

TUpsStatus MakeStatus(float input, float output, float battery, float frequency, float temperature,
                      std::uint8_t load, std::uint8_t charge, std::uint16_t flags) {
    TUpsStatus s{};
    s.InputVoltage = input;
    s.InputFaultVoltage = input - 10;
    s.OutputVoltage = output;
    s.BatteryVoltage = battery;
    s.InputFrequency = frequency;
    s.Temperature = temperature;
    s.Load = load;
    s.BatteryCharge = charge;
    s.Flags = flags;
    return s;
}

TUpsInfo MakeInfo(const std::string& maker, const std::string& model, const std::string& version) {
    TUpsInfo i{};
    i.Maker.Assign(maker);
    i.Model.Assign(model);
    i.Version.Assign(version);
    return i;
}

TUpsRating MakeRating(float voltage, float battery, float frequency, std::int32_t current) {
    return TUpsRating{voltage, battery, frequency, current};
}

} // namespace dialogtest
