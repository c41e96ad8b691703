// kovrin-post: talks to the running monitor as the dialog library and the user would.
//   kovrin-post MESSAGE [WPARAM [LPARAM]]   post a message to the hidden window
//   kovrin-post --find CAPTION             exit 0 when a top-level window has this caption
//   kovrin-post --close CAPTION            press OK in the message box with this caption
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
        std::fprintf(stderr, "usage: kovrin-post MESSAGE [WPARAM [LPARAM]] | --find CAPTION | "
                             "--close CAPTION\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--find") == 0 && argc > 2)
        return FindWindowA(nullptr, argv[2]) ? 0 : 1;
    if (std::strcmp(argv[1], "--close") == 0 && argc > 2) {
        HWND box = FindWindowA(nullptr, argv[2]);
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
