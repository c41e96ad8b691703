#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "dialog/ui/geometry.h"

// What every control (and every child window of this library) is created with. A control
// with options of its own takes them as a second struct, so that both read as designated
// initialisers: Create({.Parent = p, .Rect = r, .Text = "OK"}, {.Kind = TButtonKind::Default}).
// Every member has a default, and the members stay in the order call sites name them.
struct TControlArgs {
    HWND Parent = nullptr;
    TRect Rect{};
    int Id = 0;
    std::string_view Text{};
    bool TabStop = false;
    bool Visible = true;
    bool Enabled = true;
    HFONT Font = nullptr; // the parent's font when null
};

// WS_CHILD with the visibility, tab stop and disabled state the arguments ask for.
DWORD ChildStyle(const TControlArgs& args);
// The font asked for, else the parent's.
HFONT FontFor(const TControlArgs& args);

// A child control: a window of a standard class (or of one of this library's classes)
// with the C++ object that handles its notifications. The parent's procedure hands each
// notification back to the control that sent it (ReflectToControl), so that a window's
// own procedure stays a short router. The parent destroys the window; the object only
// forgets it.
class TControl {
public:
    TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    virtual ~TControl();

    HWND Handle() const { return hwnd_; }
    int Id() const;
    static TControl* FromHandle(HWND hwnd);

    void SetText(std::string_view text);
    std::string Text() const;
    void Enable(bool enabled);
    bool Enabled() const;
    void Show(bool visible);
    bool Visible() const;
    void Focus();
    void Move(const TRect& rect);
    void Invalidate();
    void SetFont(HFONT font);
    // The width of a text in the control's font, for layouts that follow the text.
    int TextWidth(std::string_view text) const;

    // A notification from the control to its parent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR...,
    // WM_HSCROLL/WM_VSCROLL, WM_DRAWITEM). True when handled, with result the answer.
    virtual bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The run loop shows a key message to the focused control before anything else does;
    // true when the control has dealt with it.
    virtual bool OnPreKey(const MSG& msg);

protected:
    struct TCreateSpec {
        const char* ClassName;
        DWORD Style; // added to WS_CHILD, WS_VISIBLE, WS_TABSTOP and WS_DISABLED as asked
        DWORD ExStyle;
    };
    bool CreateControl(const TControlArgs& args, const TCreateSpec& spec);

    // Notifications; the defaults handle nothing.
    virtual bool OnCommand(WORD code);
    virtual bool OnNotify(NMHDR* header, LRESULT& result);
    virtual HBRUSH OnCtlColor(HDC dc);

    // Messages to the control's own window: return true with result set to answer instead
    // of the control's class.
    void Subclass();
    virtual bool OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT CallOriginal(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Forget();

    HWND hwnd_ = nullptr;
    WNDPROC original_ = nullptr;
};
