#include "common/messages.h"
#include "monitor/runtime/kovrin.h"

namespace {
const char* const DialogLoadError = "Не удалось загрузить динамическую библиотеку \"Dialog.dll\", "
                                    "файл поврежден или отсутствует.";
}

void TKovrin::LoadDialog() {
    if (dialogLoaded_) return;
    if (!platform_.DialogLibrary.Load(dialogFile_)) {
        // Shown without holding the control loop: polling must go on while nobody is
        // there to read the box.
        ShowMessageAsync(window_, DialogLoadError, "Ошибка", MBX_SYSTEMMODAL | MBX_ICONERROR, -1);
        return;
    }
    dialogLoaded_ = true;
    platform_.DialogLibrary.CreateDialogForm(window_);
}

void TKovrin::UnloadDialog() {
    if (!dialogLoaded_) return;
    platform_.DialogLibrary.DestroyDialogForm();
    platform_.DialogLibrary.Free();
    dialogLoaded_ = false;
    dialogWindow_ = NoDialog;
}

void TKovrin::CloseDialog() {
    if (dialogWindow_ == NoDialog) return;
    platform_.Queue.Send(dialogWindow_, SYS_CLOSE, 0, 0);
}

void TKovrin::SendToDialog(std::uint8_t code, const void* address) {
    if (dialogWindow_ == NoDialog) return;
    platform_.Queue.Send(dialogWindow_, UM_TODIALOG, code & 0x7F,
                         reinterpret_cast<std::intptr_t>(address));
}

void TKovrin::PostToDialog(std::uint8_t code, std::intptr_t value) {
    if (dialogWindow_ == NoDialog) return;
    platform_.Queue.Post(dialogWindow_, UM_TODIALOG, code & 0x7F, value);
}
