#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "dialog/help/help_browser.h"
#include "dialog/help/help_navigator.h"
#include "dialog/ui/containers_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"
#include "dialog/ui/picture_button_win32.h"
#include "dialog/ui/tooltip_win32.h"

inline constexpr std::string_view HelpViewerCaption = "Справка (минибраузер)";

// A browser component as the viewer embeds it: a child window that it places.
class IViewerBrowser : public IHelpBrowser {
public:
    virtual HWND Window() const = 0;
    virtual void Move(const TRect& rect) = 0;
    virtual bool TranslateKey(const MSG& msg) = 0;
    // What the first navigation has come to: still loading, a document shown, or nothing
    // shown because the component cannot show one (no HTML engine).
    enum class TLoad { Loading, Shown, Failed };
    virtual TLoad LoadState() = 0;
};

// Makes the browser inside the viewer; null (with the reason) when it cannot.
using TBrowserFactory = std::function<std::unique_ptr<IViewerBrowser>(
    HWND parent, const TRect& rect, std::string& error)>;
// The system's WebBrowser control.
std::unique_ptr<IViewerBrowser> MakeWebBrowser(HWND parent, const TRect& rect, std::string& error);

// The help viewer: a tool bar (back, forward, contents, the author's home page, stop) with
// the address line and "Перейти", and the browser filling the rest. Resizable; the system
// chooses its place. Not modal: the main window stays usable beside it.
class THelpForm : public TForm {
public:
    THelpForm();
    ~THelpForm() override;
    bool Create(const TBrowserFactory& factory);
    const std::string& Error() const { return error_; }
    IViewerBrowser& Browser() { return *browser_; }

    bool OpenTopic(std::string_view documentPath, std::string_view anchor);
    bool HandleDialogKey(const MSG& msg) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Layout(int width, int height);

    std::unique_ptr<IViewerBrowser> browser_;
    std::unique_ptr<THelpNavigator> navigator_;
    std::string error_;
    TPanel toolbar_;
    std::array<TPictureButton, 5> buttons_;
    TContainer addressGroup_;
    TLabel addressLabel_;
    TEdit address_;
    TButton go_;
    TToolTips tips_;
};
