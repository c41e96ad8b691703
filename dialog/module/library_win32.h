#pragma once
#include <windows.h>

// The two exports' work (exports_win32.cpp only forwards to these): one user-interface
// thread at most, with its main window.
void StartDialog(HWND monitorWindow);
void StopDialog();
