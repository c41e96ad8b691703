// kovrin-post: talks to the running monitor as the dialog library and the user would.
//   kovrin-post MESSAGE [WPARAM [LPARAM]]   post a message to the hidden window
//   kovrin-post --find-box                  exit 0 when a message box is open
//   kovrin-post --close-box                 press OK in it
//   kovrin-post --answer-box N              wait up to 20 s for a box, press button N in it
//                                           (IDYES 6, IDNO 7)
//   kovrin-post --box-text                  print the open box's caption and text (8-bit)
//   kovrin-post --delete-loop FILE MS N     delete FILE every MS ms, N times, as the dialog
//                                           clears the journal; prints how many went
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The window appears a moment after the program starts.
HWND WaitForWindow(const char* className, const char* caption, int tries = 100) {
    for (int i = 0; i < tries; ++i) {
        if (HWND hwnd = FindWindowA(className, caption)) return hwnd;
        Sleep(100);
    }
    return nullptr;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM out) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) return TRUE;
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof text);
    auto* longest = reinterpret_cast<char*>(out);
    if (std::strlen(text) > std::strlen(longest)) std::strcpy(longest, text);
    return TRUE;
}

// The box's caption and its message (the longest static text; the icon's is empty).
int PrintBox() {
    HWND box = FindWindowA("#32770", nullptr);
    if (!box) return 1;
    char caption[256] = {};
    GetWindowTextA(box, caption, sizeof caption);
    char text[1024] = {};
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(text));
    std::printf("%s\n%s\n", caption, text);
    return 0;
}

int AnswerBox(int button) {
    HWND box = WaitForWindow("#32770", nullptr, 200);
    if (!box) return 1;
    SendMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return 0;
}

int DeleteLoop(const char* path, int ms, int times) {
    int deleted = 0;
    for (int i = 0; i < times; ++i) {
        if (DeleteFileA(path)) ++deleted;
        Sleep(static_cast<DWORD>(ms));
    }
    std::printf("%d\n", deleted);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: kovrin-post MESSAGE [WPARAM [LPARAM]] | --find-box | "
                     "--close-box | --answer-box N | --box-text | --delete-loop FILE MS N\n");
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
    if (std::strcmp(argv[1], "--answer-box") == 0 && argc > 2) return AnswerBox(std::atoi(argv[2]));
    if (std::strcmp(argv[1], "--box-text") == 0) return PrintBox();
    if (std::strcmp(argv[1], "--delete-loop") == 0 && argc > 4)
        return DeleteLoop(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
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
