#include <windows.h>

#include "dialog/module/library_win32.h"

// The library's only entry points; the monitor looks them up by these plain names and
// calls them with the stdcall convention.
extern "C" __declspec(dllexport) void WINAPI CreateDialogForm(HWND monitorWindow) {
    StartDialog(monitorWindow);
}

extern "C" __declspec(dllexport) void WINAPI DestroyDialogForm() {
    StopDialog();
}
