#include "dialog/module/window_host_win32.h"

#include "common/files.h"
#include "dialog/module/modal_loop_win32.h"
#include "dialog/ui/form_win32.h"

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, n < sizeof path ? n : 0);
}

std::string ProgramDirectory() {
    const std::string path = ProgramPath();
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

TWindowHost::TWindowHost(std::string programDir)
    : programDir_(std::move(programDir)), settings_(SystemFiles(), FilePath("Kovrin.ini")) {}

int TWindowHost::RunModal(TForm& form) {
    Hold();
    const int result = ::RunModal(form, nullptr);
    Release();
    return result;
}

int TWindowHost::ShowMessageBox(std::string_view text, std::string_view caption, UINT type) {
    if (InSendMessage()) ReplyMessage(0);
    Hold();
    const int answer =
        ::MessageBoxA(owner_, std::string(text).c_str(), std::string(caption).c_str(), type);
    Release();
    return answer;
}

void TWindowHost::SetCaption(std::string_view caption) {
    if (owner_) SetWindowTextA(owner_, std::string(caption).c_str());
}

void TWindowHost::Hold() {
    ++holds_;
    if (owner_ && IsWindowEnabled(owner_)) EnableWindow(owner_, FALSE);
}

void TWindowHost::Release() {
    if (holds_ == 0 || --holds_ > 0 || !owner_) return;
    EnableWindow(owner_, TRUE);
    SetForegroundWindow(owner_);
}
