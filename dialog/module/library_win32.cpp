#include "dialog/module/library_win32.h"

#include <commctrl.h>
#include <ole2.h>

#include <atomic>

#include "common/clock.h"
#include "common/messages.h"
#include "dialog/mainwindow/main_form_win32.h"
#include "dialog/module/bounded_wait.h"
#include "dialog/module/modal_loop_win32.h"
#include "dialog/ui/window_win32.h"

namespace {

// Written by the exports on the monitor's thread; the window handle and the failure also
// by the user-interface thread, once.
std::atomic<HANDLE> UiThread{nullptr};
std::atomic<HWND> DialogWindow{nullptr};
std::atomic<bool> CreationFailed{false};

constexpr DWORD StillActive = 259;
// How long the final close may take before the thread is ended by force.
constexpr DWORD FinalCloseMs = 500;

constexpr char CreationFailure[] = "Не удалось создать диалоговое окно. Внутренняя ошибка.";

// The main window could not be made: the user is told, and the monitor is asked to unload
// the library as after a close, so that the next click starts from a fresh one.
void ReportCreationFailure(HWND monitorWindow) {
    MessageBoxA(nullptr, CreationFailure, "Ошибка", MB_ICONERROR | MB_OK);
    CreationFailed = true;
    if (monitorWindow) PostMessageA(monitorWindow, UM_DIALOGCLOSED, 0, 0);
}

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
    // The terminal's rich edit control lives in this library.
    const HMODULE richEdit = LoadLibraryA("riched20.dll");
    bool created = false;
    if (richEdit) {
        TMainForm form;
        if (form.Create()) {
            created = true;
            DialogWindow = form.Handle();
            form.SetMonitorWindow(monitorWindow);
            RunModal(form, nullptr);
        }
    } // destroyed here: its settings are written
    UnregisterOwnClasses();
    if (richEdit) FreeLibrary(richEdit);
    if (!created) ReportCreationFailure(monitorWindow);
    return 0;
}

bool Ended(HANDLE thread) {
    DWORD code = 0;
    return GetExitCodeThread(thread, &code) && code != StillActive;
}

} // namespace

void StartDialog(HWND monitorWindow) {
    if (UiThread.load()) return; // one user-interface thread, one main window
    CreationFailed = false;
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, &UiThreadProcedure, monitorWindow, 0, &id);
    if (!thread) {
        MessageBoxA(nullptr, CreationFailure, "Ошибка", MB_ICONERROR | MB_OK);
        return;
    }
    UiThread = thread;
}

void StopDialog() {
    const HANDLE thread = UiThread.load();
    if (!thread) return;
    const HWND window = DialogWindow.load();
    if (!window) {
        // No main window: either the thread is still making it (nothing to close in order)
        // or it could not, told the user and is ending by itself.
        if (!CreationFailed || WaitForSingleObject(thread, FinalCloseMs) != WAIT_OBJECT_0)
            TerminateThread(thread, 0);
    } else {
        SendMessageA(window, UM_FINALCLOSE, 0, 0);
        // It refused the final close (a message box or an editor is open) or is stuck: it
        // ends anyway.
        if (!PollFor(SystemClock(), FinalCloseMs, [thread] { return Ended(thread); }))
            TerminateThread(thread, 0);
        DialogWindow = nullptr;
    }
    // The thread has left the library's code before the library may be unloaded.
    WaitForSingleObject(thread, 2000);
    CloseHandle(thread);
    UiThread = nullptr;
}
