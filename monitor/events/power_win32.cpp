#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <string>

#include "monitor/runtime/win32_platform.h"

namespace {

constexpr UINT ShutdownKinds = EWX_SHUTDOWN | EWX_REBOOT | EWX_POWEROFF;

bool IsNtFamily() {
    return (GetVersion() & 0x80000000u) == 0;
}

// The shutdown privilege is held but disabled in a normal process token. Returns false
// only when the token was opened and the privilege found but could not be enabled.
bool EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return true;
    TOKEN_PRIVILEGES privileges{};
    bool ok = true;
    if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        ok = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
    }
    CloseHandle(token);
    return ok;
}

using SetSuspendStateProc = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);

class Win32Power final : public IPower {
public:
    bool ExitWindowsWithPrivilege(std::uint32_t flags) override {
        if (IsNtFamily() && (flags & ShutdownKinds) != 0 && !EnableShutdownPrivilege())
            return false;
        return ExitWindowsEx(flags, 0) != FALSE;
    }

    bool Hibernate() override {
        const HMODULE library = LoadLibraryA("powrprof.dll");
        if (reinterpret_cast<std::uintptr_t>(library) <= 32) return false;
        bool result = false;
        if (const auto proc = reinterpret_cast<SetSuspendStateProc>(
                reinterpret_cast<void*>(GetProcAddress(library, "SetSuspendState"))))
            result = proc(TRUE, TRUE, FALSE) != FALSE;
        FreeLibrary(library);
        return result;
    }

    void ShellOpen(const std::string& program, const std::string& arguments) override {
        ShellExecuteA(nullptr, "open", program.c_str(), arguments.c_str(), nullptr, SW_RESTORE);
    }
};

} // namespace

std::unique_ptr<IPower> MakeWin32Power() {
    return std::make_unique<Win32Power>();
}
