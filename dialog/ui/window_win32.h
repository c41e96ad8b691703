#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "dialog/ui/geometry.h"

// The library's own module: window classes are registered with it, and resources and
// files are found through it.
HINSTANCE ModuleInstance();

// Registers a window class of this library once per load; every class registered is
// unregistered by UnregisterOwnClasses when the user-interface thread ends, so that a
// library loaded again at another address never meets a class whose procedure is gone.
bool RegisterOwnClass(const char* name, WNDPROC procedure, UINT style, HCURSOR cursor,
                      HBRUSH background);
void UnregisterOwnClasses();

// A window of one of this library's classes. One window procedure serves them all: it
// finds the object from the handle, lets the control that sent a notification handle it
// itself, and hands everything else to the object's OnMessage.
class TWindow {
public:
    TWindow() = default;
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    virtual ~TWindow();

    HWND Handle() const { return hwnd_; }
    static TWindow* FromHandle(HWND hwnd);

    void SetText(std::string_view text);
    std::string Text() const;
    void Show(bool visible);
    bool Visible() const;
    void Enable(bool enabled);
    bool Enabled() const;
    void Destroy();

protected:
    struct TWindowArgs {
        const char* ClassName = nullptr; // registered with RegisterOwnClass
        std::string_view Caption{};
        DWORD Style = 0;
        DWORD ExStyle = 0;
        TRect Rect{};          // window rectangle in the parent's client coordinates
        HWND Parent = nullptr; // owner for top-level windows
        int Id = 0;            // child windows only
    };
    bool CreateFrom(const TWindowArgs& args);

    // The default handling: DefWindowProcA.
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
    // Called once the handle is gone (WM_NCDESTROY).
    virtual void OnDestroyed() {}

public:
    // The procedure every class of this library is registered with.
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    HWND hwnd_ = nullptr;
};

// The notifications a child control sends to its parent, handed to the control's object.
// True when the control handled it; result then holds the answer.
bool ReflectToControl(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
