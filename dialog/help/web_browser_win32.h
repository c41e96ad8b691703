#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "dialog/help/help_form_win32.h"
#include "dialog/ui/containers_win32.h"

struct IOleObject;
struct IWebBrowser2;
struct IConnectionPoint;
class TBrowserSite;

// The system's web browser control (WebBrowser, through IWebBrowser2) embedded in a child
// window of ours by a small OLE container: client site, in-place site and frame, and the
// sink of the control's events (DWebBrowserEvents2) on its connection point. The
// thread must have COM initialised for a single-threaded apartment.
class TWebBrowserHost final : public IViewerBrowser {
public:
    TWebBrowserHost();
    ~TWebBrowserHost() override;
    TWebBrowserHost(const TWebBrowserHost&) = delete;
    TWebBrowserHost& operator=(const TWebBrowserHost&) = delete;

    // False, with the failing step in Error(), when the control cannot be created,
    // activated or reached.
    bool Create(HWND parent, const TRect& rect, int id);
    const std::string& Error() const { return error_; }
    HWND Window() const override { return host_.Handle(); }
    void Move(const TRect& rect) override;
    // A key for the control's own keyboard handling (Tab inside the page, arrows, copy);
    // true when it took it.
    bool TranslateKey(const MSG& msg) override;

    // What the control has shown so far: whether a document finished loading, and
    // whether a navigation reported an error.
    bool DocumentLoaded() const { return loaded_; }
    bool NavigationFailed() const { return navigationFailed_; }
    // Whether the control holds an HTML document at all (none without an HTML engine).
    bool HasDocument();
    TLoad LoadState() override;

    bool Navigate(const std::string& url) override;
    bool GoBack() override;
    bool GoForward() override;
    void Stop() override;
    std::string LocationUrl() override;

private:
    friend class TBrowserSite;
    void OnEvent(int dispid, const std::string& url);
    void Release();

    TPanel host_;
    TBrowserSite* site_ = nullptr;
    IOleObject* ole_ = nullptr;
    IWebBrowser2* browser_ = nullptr;
    IConnectionPoint* events_ = nullptr;
    unsigned long cookie_ = 0;
    bool loaded_ = false, navigationFailed_ = false;
    std::string error_;
};
