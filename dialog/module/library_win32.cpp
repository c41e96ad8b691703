#include "dialog/module/library_win32.h"

#include <commctrl.h>
#include <ole2.h>

#include <atomic>

#include "common/messages.h"

#include "dialog/mainwindow/main_form_win32.h"
#include "dialog/module/modal_loop_win32.h"
#include "dialog/ui/window_win32.h"

namespace {

// Written by the exports on the monitor's thread; the window handle also by the
// user-interface thread, once, when its main window exists.
std::atomic<HANDLE> UiThread{nullptr};
std::atomic<HWND> DialogWindow{nullptr};
// Only the user-interface thread reads and writes it.
TMainForm* TheMainForm = nullptr;

constexpr DWORD StillActive = 259;
constexpr int FinalClosePolls = 500;

DWORD WINAPI UiThreadProcedure(LPVOID parameter) {
    const HWND monitorWindow = static_cast<HWND>(parameter);
    // A message queue before any window exists, so that nothing posted to the thread is lost.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    // Single-threaded COM for the help viewer's browser control; never uninitialised.
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const HMODULE richEdit = LoadLibraryA("riched20.dll");
    {
        TMainForm form;
        if (form.Create()) {
            TheMainForm = &form;
            DialogWindow = form.Handle();
            form.SetMonitorWindow(monitorWindow);
            RunModal(form, nullptr);
            TheMainForm = nullptr;
        }
    } // destroyed here: its settings are written
    UnregisterOwnClasses();
    if (richEdit) FreeLibrary(richEdit);
    return 0;
}

} // namespace

TMainForm* MainForm() {
    return TheMainForm;
}

void StartDialog(HWND monitorWindow) {
    if (UiThread.load()) return; // one user-interface thread, one main window
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, &UiThreadProcedure, monitorWindow, 0, &id);
    if (!thread) {
        MessageBoxA(nullptr, "Не удалось создать диалоговое окно. Внутренняя ошибка.", "Ошибка",
                    MB_ICONERROR | MB_OK);
        return;
    }
    UiThread = thread;
}

void StopDialog() {
    const HANDLE thread = UiThread.load();
    if (!thread) return;
    const HWND window = DialogWindow.load();
    if (!window) {
        // The thread has not made its main window yet: nothing to close in order.
        TerminateThread(thread, 0);
    } else {
        SendMessageA(window, UM_FINALCLOSE, 0, 0);
        bool ended = false;
        for (int i = 0; i < FinalClosePolls && !ended; ++i) {
            Sleep(1);
            DWORD code = 0;
            ended = GetExitCodeThread(thread, &code) && code != StillActive;
        }
        // It refused the final close (a message box or an editor is open, or a
        // calibration runs) or is stuck: it ends anyway.
        if (!ended) TerminateThread(thread, 0);
        DialogWindow = nullptr;
    }
    // The thread has left the library's code before the library may be unloaded.
    WaitForSingleObject(thread, 2000);
    CloseHandle(thread);
    UiThread = nullptr;
}
