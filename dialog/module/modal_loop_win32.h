#pragma once
#include <windows.h>

class TForm;

// Runs a window modally on the user-interface thread: the owner (if any) is disabled,
// the window shown, and its messages handled until it is hidden or has a modal result.
// Keys are first offered to the focused control and to the window's dialog keys; Tab
// characters never reach a control. The owner is enabled again and brought to the
// foreground however the run ends. Returns the modal result.
int RunModal(TForm& form, HWND owner);

// The same message handling for a window that is not modal (the help viewer): until it
// is hidden.
void RunUntilHidden(TForm& form);

// One message through the library's key rules, then translated and dispatched. Exposed
// for the loops above and for message boxes' owners' tests.
void DispatchWithKeyRules(MSG& msg);
