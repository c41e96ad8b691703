#pragma once
#include <windows.h>

#include <string>

#include "dialog/ui/gdi_win32.h"
#include "dialog/ui/window_win32.h"

enum class TFormBorder {
    Single,   // fixed size, caption, system menu
    Dialog,   // fixed size, dialog frame
    Sizeable, // resizable, with a maximize box
    None,     // no border or caption (the wait window)
};

enum class TFormPlace { Given, ScreenCenter, System };

struct TFormArgs {
    std::string Caption{};
    int ClientWidth = 300, ClientHeight = 200;
    TFormBorder Border = TFormBorder::Single;
    TFormPlace Place = TFormPlace::ScreenCenter;
    int Left = 0, Top = 0; // with TFormPlace::Given
    TFontSpec Font{};
    HWND Owner = nullptr;
    bool ToolWindow = false;
};

// Results of a window shown modally.
enum : int { MR_NONE = 0, MR_OK = 1, MR_CANCEL = 2 };

// A top-level window of the library. It keeps its own font, which its controls take, its
// modal result (set to end a modal run), and the keyboard rules of a dialog: Tab moves
// between controls, Enter presses the focused or the default button, Escape the cancel
// button.
class TForm : public TWindow {
public:
    bool CreateForm(const TFormArgs& args);
    HFONT Font() const { return font_.Get(); }

    int ModalResult() const { return modalResult_; }
    // A result other than none ends a modal run at once.
    void SetModalResult(int result);

    // A close request (the close box, WM_CLOSE): the default ends a modal run with Cancel
    // and hides the window.
    virtual void Close();

    // Keys the run loop offers before the focused control gets them; true when used.
    virtual bool HandleDialogKey(const MSG& msg);

    // Places the window at the middle of the screen (or of another window).
    void CenterOn(HWND over);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool ClickButton(bool wantDefault);
    // A run loop asleep in its wait for messages looks at its window again. Without it, a
    // window closed from within the wait (a close request sent by another thread) would be
    // seen hidden only at the next message of any kind.
    void WakeRunLoop();

private:
    TFontHandle font_;
    int modalResult_ = MR_NONE;
    HWND lastFocus_ = nullptr;
};

// The form that holds a window (itself or its top-level ancestor), if it is one of ours.
TForm* FormOf(HWND hwnd);
