#include <windows.h>

#include <pthread.h>

#include "dialog/module/library_win32.h"

// The library's only entry points; the monitor looks them up by these plain names and
// calls them with the stdcall convention.
extern "C" __declspec(dllexport) void WINAPI CreateDialogForm(HWND monitorWindow) {
    StartDialog(monitorWindow);
}

extern "C" __declspec(dllexport) void WINAPI DestroyDialogForm() {
    StopDialog();
}

namespace {

// In the 32-bit build the statically linked runtime registers the library's unwind tables
// at load through a pthread_once, which makes the thread pthread bookkeeping of its own: a
// duplicate of the thread's handle and an event. The runtime frees them when that thread
// ends, never when the library is unloaded, and the monitor loads and unloads the library
// on its long-lived main thread at every opening of the window: two handles lost each time.
// The unloading thread is the loading one, so they are its to close. (The 64-bit runtime
// unwinds without registering, and asking there would make the bookkeeping first.)
void ReleaseLoadingThreadBookkeeping() {
#if defined(__i386__)
    if (HANDLE event = pthread_getevent()) CloseHandle(event);
    if (HANDLE thread = pthread_gethandle(pthread_self())) CloseHandle(thread);
#endif
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    // Only at FreeLibrary: at the process's end nothing is lost.
    if (reason == DLL_PROCESS_DETACH && !reserved) ReleaseLoadingThreadBookkeeping();
    return TRUE;
}
