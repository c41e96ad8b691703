#pragma once
#include <windows.h>

class TMainForm;

// The library's state while it is loaded: one user-interface thread at most, its main
// window, and the way from any window of the library to that main window.
TMainForm* MainForm();

// The two exports' work (exports_win32.cpp only forwards to these).
void StartDialog(HWND monitorWindow);
void StopDialog();
