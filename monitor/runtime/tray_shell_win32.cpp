#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/messages.h"
#include "monitor/runtime/win32_platform.h"

namespace {

// The first version of the notification data, a tip of 63 characters: 88 bytes in a
// 32-bit process, more where handles are 64 bits wide.
constexpr DWORD NotifyDataSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(offsetof(NOTIFYICONDATAA, szTip) + 64 == NotifyDataSize);
static_assert(sizeof(void*) != 4 || NotifyDataSize == 88);
constexpr std::size_t MaxTip = 63;

constexpr char ToolWindowClass[] = "TarvoToolWndClass";

struct MenuItem {
    UINT flags;
    UINT_PTR id;
    const char* text;
};
const MenuItem TrayMenuItems[] = {
    {MF_STRING, MENU_OPENDIALOG, "Открыть диалоговое окно"},
    {MF_STRING, MENU_CLOSEDIALOG, "Закрыть диалоговое окно"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING, MENU_EXIT, "Завершить"},
};

// What the menu thread needs; it lives on the caller's stack until copied.
struct MenuArguments {
    POINT cursor;
    HMENU menu;
    HWND owner;
    std::atomic<std::uint8_t> copied{0};
};

DWORD WINAPI MenuThread(LPVOID parameter) {
    auto* args = static_cast<MenuArguments*>(parameter);
    const POINT cursor = args->cursor;
    const HMENU menu = args->menu;
    const HWND owner = args->owner;
    args->copied = 1;

    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = ToolWindowClass;
    RegisterClassA(&wc); // may already exist while another menu is open
    // The menu needs a foreground window of this thread, or it does not close when the
    // user clicks elsewhere.
    const HWND tool = CreateWindowExA(WS_EX_TOOLWINDOW, ToolWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(tool);
    const BOOL chosen = TrackPopupMenuEx(menu, TPM_RETURNCMD, cursor.x, cursor.y, tool, nullptr);
    if (tool) DestroyWindow(tool);
    UnregisterClassA(ToolWindowClass, instance);
    PostMessageA(owner, WM_COMMAND, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(menu));
    return 0;
}

class Win32TrayShell final : public ITrayShell {
public:
    ~Win32TrayShell() override { DestroyMenu(); }

    bool Add(WindowHandle owner, const std::string& icon, const std::string& tip) override {
        NOTIFYICONDATAA data = Fill(owner, icon, tip);
        return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    }
    bool Modify(WindowHandle owner, const std::string& icon, const std::string& tip) override {
        NOTIFYICONDATAA data = Fill(owner, icon, tip);
        return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    }
    void Delete(WindowHandle owner) override {
        NOTIFYICONDATAA data{};
        data.cbSize = NotifyDataSize;
        data.hWnd = reinterpret_cast<HWND>(owner);
        data.uID = 0;
        Shell_NotifyIconA(NIM_DELETE, &data);
    }

    void CreateMenu() override {
        if (menu_) return;
        menu_ = CreatePopupMenu();
        if (!menu_) return;
        for (const MenuItem& item : TrayMenuItems)
            AppendMenuA(menu_, item.flags, item.id, item.text);
    }
    void DestroyMenu() override {
        if (menu_) ::DestroyMenu(menu_);
        menu_ = nullptr;
    }

    void ShowMenu(WindowHandle owner) override {
        MenuArguments args{{0, 0}, menu_, reinterpret_cast<HWND>(owner)};
        GetCursorPos(&args.cursor);
        DWORD id = 0;
        const HANDLE thread = CreateThread(nullptr, 0, &MenuThread, &args, 0, &id);
        if (!thread) return;
        while (!args.copied.load())
            ::Sleep(1);
        CloseHandle(thread);
    }

private:
    static NOTIFYICONDATAA Fill(WindowHandle owner, const std::string& icon,
                                const std::string& tip) {
        NOTIFYICONDATAA data{};
        data.cbSize = NotifyDataSize;
        data.hWnd = reinterpret_cast<HWND>(owner);
        data.uID = 0;
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = UM_TRAYICON;
        data.hIcon = icon.empty() ? nullptr : LoadIconA(GetModuleHandleA(nullptr), icon.c_str());
        const std::size_t n = tip.size() < MaxTip ? tip.size() : MaxTip;
        std::memcpy(data.szTip, tip.data(), n);
        data.szTip[n] = '\0';
        return data;
    }

    HMENU menu_ = nullptr;
};

} // namespace

std::unique_ptr<ITrayShell> MakeWin32TrayShell() {
    return std::make_unique<Win32TrayShell>();
}
