// kovrin-post: posts one message to the running monitor's hidden window, as the dialog
// library would. Usage: kovrin-post MESSAGE [WPARAM [LPARAM]] (decimal numbers).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kovrin-post MESSAGE [WPARAM [LPARAM]]\n");
        return 2;
    }
    const UINT msg = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));
    const WPARAM w = argc > 2 ? static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 10)) : 0;
    const LPARAM l = argc > 3 ? static_cast<LPARAM>(std::strtol(argv[3], nullptr, 10)) : 0;
    // The window appears a moment after the program starts.
    for (int i = 0; i < 100; ++i) {
        if (HWND hwnd = FindWindowA("KovrinWndClass", nullptr)) {
            return PostMessageA(hwnd, msg, w, l) ? 0 : 1;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "kovrin-post: no monitor window\n");
    return 1;
}
