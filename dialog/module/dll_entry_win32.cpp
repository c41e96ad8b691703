#include <windows.h>

#include <pthread.h>

// The monitor loads this library at every opening of the window and frees it at every
// close, in a process that runs for months. The runtime linked into it statically expects
// one load per process and keeps, at every unload, what it took at the load:
// - winpthreads takes a TLS index (a process has 1088) for its thread records and never
//   frees it: when none is left it aborts the process, so the monitor died at about its
//   thousandth opening of the window, and nothing guarded the computer any more;
// - its record of the loading thread holds a duplicate of that thread's handle and an
//   event, freed only when the thread ends: the monitor's main thread never does;
// - libstdc++ allocates an emergency pool for exceptions: about 19 kB in the 32-bit build,
//   71 kB in the 64-bit one.
// The entry point below wraps the runtime's own: it makes winpthreads take its index at a
// moment where the index can be known, and gives all three back after the runtime's
// unload. (At the process's end nothing needs to be given back.) Thread notifications stay
// on: winpthreads frees the records of the window's thread when that thread ends.

namespace __gnu_cxx {
void __freeres() noexcept; // libstdc++: frees the emergency pool
}

extern "C" BOOL WINAPI DllMainCRTStartup(HANDLE module, DWORD reason, LPVOID reserved);

namespace {

DWORD threadRecordsIndex = TLS_OUT_OF_INDEXES;

// TlsAlloc hands out the lowest free index; winpthreads' first record (of this thread)
// takes it and fills this thread's slot. Confirmed by the slot's value, so that an index
// another thread took meanwhile is never the one freed.
void NoteThreadRecordsIndex() {
    const DWORD lowest = TlsAlloc();
    if (lowest == TLS_OUT_OF_INDEXES) return;
    TlsFree(lowest);
    pthread_self();
    if (TlsGetValue(lowest)) threadRecordsIndex = lowest;
}

void GiveBackTheRuntimesLoad() {
    __gnu_cxx::__freeres();
    // The unloading thread is the loading one (the monitor's), so these are its records.
    if (HANDLE event = pthread_getevent()) CloseHandle(event);
    if (HANDLE thread = pthread_gethandle(pthread_self())) CloseHandle(thread);
    if (threadRecordsIndex != TLS_OUT_OF_INDEXES) TlsFree(threadRecordsIndex);
    threadRecordsIndex = TLS_OUT_OF_INDEXES;
}

} // namespace

extern "C" BOOL WINAPI DialogEntry(HANDLE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) NoteThreadRecordsIndex();
    const BOOL ok = DllMainCRTStartup(module, reason, reserved);
    if (reason == DLL_PROCESS_DETACH && !reserved) GiveBackTheRuntimesLoad();
    return ok;
}
