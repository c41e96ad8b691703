#pragma once
#include <windows.h>

class TForm;

// Runs a window modally on the user-interface thread: the owner (if any) is disabled,
// the window shown, and its messages handled until it is hidden or has a modal result.
// Keys are first offered to the focused control and to the window's dialog keys; Tab
// characters never reach a control. The owner is enabled again and brought to the
// foreground however the run ends. Returns the modal result.
int RunModal(TForm& form, HWND owner);

// One message through the library's key rules, then translated and dispatched. Exposed
// for the loops above and for message boxes' owners' tests.
void DispatchWithKeyRules(MSG& msg);

// The pieces of every message loop of the library: every waiting message handled (false
// when the thread is asked to quit; the request is put back for the outer loop), and a
// wait for the next message of any kind, a message sent from another thread included.
bool PumpMessages();
void WaitForMessage(DWORD timeout = INFINITE);
