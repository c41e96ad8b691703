#pragma once
#include <memory>

#include "monitor/link/serial_port.h"
#include "monitor/runtime/platform.h"

// The Win32 implementations of the platform interfaces, for the program entry and the
// Windows tests. Only the win32 tree has them.

// The hidden window on a thread of its own, handing each of its messages over to the
// control loop. One per process: its window procedure finds it through a process-wide
// pointer, set by Start().
std::unique_ptr<IMessageQueue> MakeWin32MessageQueue();

std::unique_ptr<IDesktop> MakeWin32Desktop();

// Icons are loaded by resource name from the executable.
std::unique_ptr<ITrayShell> MakeWin32TrayShell();

// Power-off, shutdown and hibernation act on the machine itself: never in a test.
std::unique_ptr<IPower> MakeWin32Power();

// The dialog library's two exports are looked up by their plain names and called with
// the stdcall convention:
//     extern "C" void __stdcall CreateDialogForm(HWND monitorWindow);
//     extern "C" void __stdcall DestroyDialogForm();
// With mingw the library must be linked with -Wl,--kill-at (or a .def file) so that
// the names are exported without the "@n" suffix.
std::unique_ptr<IDialogLibrary> MakeWin32DialogLibrary();

// The device name goes to CreateFileA unchanged.
std::unique_ptr<ISerialPort> MakeWin32SerialPort();
