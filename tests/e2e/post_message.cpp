// kovrin-post: talks to the running monitor as the dialog library and the user would.
//   kovrin-post MESSAGE [WPARAM [LPARAM]]   post a message to the hidden window
//   kovrin-post --find-box                  exit 0 when a message box is open
//   kovrin-post --close-box                 press OK in it
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The window appears a moment after the program starts.
HWND WaitForWindow(const char* className, const char* caption) {
    for (int i = 0; i < 100; ++i) {
        if (HWND hwnd = FindWindowA(className, caption)) return hwnd;
        Sleep(100);
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kovrin-post MESSAGE [WPARAM [LPARAM]] | --find-box | "
                             "--close-box\n");
        return 2;
    }
    // Message boxes are dialogs of the system class "#32770"; found by class, so that no
    // Cyrillic caption has to survive the command line's code page conversion.
    if (std::strcmp(argv[1], "--find-box") == 0) return FindWindowA("#32770", nullptr) ? 0 : 1;
    if (std::strcmp(argv[1], "--close-box") == 0) {
        HWND box = FindWindowA("#32770", nullptr);
        if (!box) return 1;
        SendMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    const UINT msg = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));
    const WPARAM w = argc > 2 ? static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 10)) : 0;
    const LPARAM l = argc > 3 ? static_cast<LPARAM>(std::strtol(argv[3], nullptr, 10)) : 0;
    HWND hwnd = WaitForWindow("KovrinWndClass", nullptr);
    if (!hwnd) {
        std::fprintf(stderr, "kovrin-post: no monitor window\n");
        return 1;
    }
    return PostMessageA(hwnd, msg, w, l) ? 0 : 1;
}
