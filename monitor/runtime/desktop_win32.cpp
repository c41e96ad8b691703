#include <windows.h>
// The interface has a MessageBox of its own.
#undef MessageBox

#include <atomic>
#include <cstdint>
#include <string>

#include "common/messages.h"
#include "monitor/runtime/win32_platform.h"

namespace {

// What the caller hands to the box's thread; it lives on the caller's stack, so the
// thread copies it before the caller may return.
struct BoxArguments {
    HWND owner;
    const std::string* text;
    const std::string* caption;
    UINT type;
    int replyId;
    std::atomic<std::uint8_t> copied{0};
};

DWORD WINAPI BoxThread(LPVOID parameter) {
    auto* args = static_cast<BoxArguments*>(parameter);
    const HWND owner = args->owner;
    const std::string text = *args->text;
    const std::string caption = *args->caption;
    const UINT type = args->type;
    const int replyId = args->replyId;
    args->copied = 1; // from here on the caller's arguments may vanish

    const int result = MessageBoxA(owner, text.c_str(), caption.c_str(), type);
    if (owner && replyId != -1)
        PostMessageA(owner, UM_MESSAGEBOXDONE, static_cast<WPARAM>(replyId), result);
    return 0;
}

class Win32Desktop final : public IDesktop {
public:
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override {
        return ::MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), type);
    }

    bool ShowMessageAsync(WindowHandle owner, const std::string& text, const std::string& caption,
                          std::uint32_t type, int replyId) override {
        BoxArguments args{reinterpret_cast<HWND>(owner), &text, &caption, type, replyId};
        DWORD id = 0;
        const HANDLE thread = CreateThread(nullptr, 0, &BoxThread, &args, 0, &id);
        if (!thread) return false;
        while (!args.copied.load())
            ::Sleep(1);
        CloseHandle(thread);
        return true;
    }
};

} // namespace

std::unique_ptr<IDesktop> MakeWin32Desktop() {
    return std::make_unique<Win32Desktop>();
}
