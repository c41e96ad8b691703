#include "dialog/help/web_browser_win32.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <ole2.h>
#include <oleidl.h>

#include "dialog/help/help_ids.h"

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const wchar_t* text) {
    if (!text || !*text) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), n, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(n - 1));
    return narrow;
}

// The text behind an event's argument, which the control passes by reference.
std::string TextOf(const VARIANT& argument) {
    const VARIANT* v = &argument;
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
    if (v->vt == VT_BSTR) return Narrow(v->bstrVal);
    if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal) return Narrow(*v->pbstrVal);
    return {};
}

template <typename T> void ReleaseAndClear(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

} // namespace

// The container's side of the embedding, one COM object for all its interfaces. It lives
// as long as the control holds references to it; the host detaches from it first.
class TBrowserSite final : public IOleClientSite,
                           public IOleInPlaceSite,
                           public IOleInPlaceFrame,
                           public IDispatch {
public:
    TBrowserSite(TWebBrowserHost* host, HWND window, HWND frame)
        : host_(host), window_(window), frame_(frame) {}
    void Detach() {
        host_ = nullptr;
        ReleaseAndClear(active_);
    }
    IOleInPlaceActiveObject* Active() const { return active_; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) ||
                 IsEqualIID(riid, IID_IOleInPlaceFrame))
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID_DWebBrowserEvents2))
            *out = static_cast<IDispatch*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override {
        if (m) *m = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** c) override {
        if (c) *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of both the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* w) override {
        if (!w) return E_POINTER;
        *w = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !doc || !position || !clip || !info) return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *doc = nullptr;
        GetClientRect(window_, position);
        *clip = *position;
        info->cb = sizeof(OLEINPLACEFRAMEINFO);
        info->fMDIApp = FALSE;
        info->hwndFrame = frame_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override {
        ReleaseAndClear(active_);
        return S_OK;
    }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow, IOleInPlaceFrame: no tool space, no menus of its own.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        ReleaseAndClear(active_);
        active_ = object;
        if (active_) active_->AddRef();
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the events of the control.
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** t) override {
        if (t) *t = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        if (!host_) return S_OK;
        // The arguments come last first: BeforeNavigate2 (pDisp, URL, Flags,
        // TargetFrameName, PostData, Headers, Cancel), NavigateComplete2 and
        // DocumentComplete (pDisp, URL), NavigateError (pDisp, URL, Frame, StatusCode,
        // Cancel).
        std::string url;
        const UINT n = params ? params->cArgs : 0;
        auto arg = [&](UINT fromFirst) -> const VARIANT* {
            return fromFirst < n ? &params->rgvarg[n - 1 - fromFirst] : nullptr;
        };
        if (const VARIANT* v = arg(1)) url = TextOf(*v);
        switch (id) {
        case DISPID_BEFORENAVIGATE2:
        case DISPID_NAVIGATECOMPLETE2:
        case DISPID_DOCUMENTCOMPLETE:
        case DISPID_NAVIGATEERROR:
            host_->OnEvent(static_cast<int>(id), url);
            break;
        default:
            break;
        }
        return S_OK;
    }

private:
    ~TBrowserSite() { ReleaseAndClear(active_); }
    ULONG refs_ = 1;
    TWebBrowserHost* host_;
    HWND window_, frame_;
    IOleInPlaceActiveObject* active_ = nullptr;
};

TWebBrowserHost::TWebBrowserHost() = default;

TWebBrowserHost::~TWebBrowserHost() {
    Release();
}

bool TWebBrowserHost::Create(HWND parent, const TRect& rect, int id) {
    if (!host_.Create({.Parent = parent, .Rect = rect, .Id = id},
                      {.Bevel = TBevel::Sunken, .BackColor = GetSysColor(COLOR_WINDOW)})) {
        error_ = "host window";
        return false;
    }
    // The panel reads as the address the browser shows, for screen readers and tests.
    host_.ReadoutText = [this] { return LocationUrl(); };

    site_ = new TBrowserSite(this, host_.Handle(), GetAncestor(parent, GA_ROOT));
    HRESULT hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(&ole_));
    if (FAILED(hr) || !ole_) {
        error_ = "CoCreateInstance";
        return false;
    }
    hr = ole_->SetClientSite(static_cast<IOleClientSite*>(site_));
    if (FAILED(hr)) {
        error_ = "SetClientSite";
        return false;
    }
    OleSetContainedObject(ole_, TRUE);
    RECT area{};
    GetClientRect(host_.Handle(), &area);
    hr = ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_), 0,
                      host_.Handle(), &area);
    if (FAILED(hr)) {
        error_ = "DoVerb";
        return false;
    }
    hr = ole_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
    if (FAILED(hr) || !browser_) {
        error_ = "IWebBrowser2";
        return false;
    }
    // No script error boxes: a help page never asks the user anything.
    browser_->put_Silent(VARIANT_TRUE);
    IConnectionPointContainer* points = nullptr;
    hr = browser_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points));
    if (SUCCEEDED(hr) && points) {
        hr = points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_);
        points->Release();
    }
    if (FAILED(hr) || !events_ ||
        FAILED(events_->Advise(static_cast<IDispatch*>(site_), &cookie_))) {
        error_ = "DWebBrowserEvents2";
        return false;
    }
    Move(rect);
    return true;
}

void TWebBrowserHost::Release() {
    if (events_) {
        if (cookie_) events_->Unadvise(cookie_);
        ReleaseAndClear(events_);
    }
    cookie_ = 0;
    if (site_) site_->Detach();
    if (browser_) browser_->Stop();
    ReleaseAndClear(browser_);
    if (ole_) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(
                ole_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace))) &&
            inPlace) {
            inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        ole_->Close(OLECLOSE_NOSAVE);
        ole_->SetClientSite(nullptr);
        OleSetContainedObject(ole_, FALSE);
        ReleaseAndClear(ole_);
    }
    if (site_) site_->Release();
    site_ = nullptr;
    host_.ReadoutText = nullptr;
}

void TWebBrowserHost::Move(const TRect& rect) {
    if (!host_.Handle()) return;
    MoveWindow(host_.Handle(), rect.Left, rect.Top, rect.Width, rect.Height, TRUE);
    if (!ole_) return;
    RECT area{};
    GetClientRect(host_.Handle(), &area);
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(
            ole_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace))) &&
        inPlace) {
        inPlace->SetObjectRects(&area, &area);
        inPlace->Release();
    }
}

bool TWebBrowserHost::TranslateKey(const MSG& msg) {
    if (!site_ || !site_->Active()) return false;
    MSG copy = msg;
    return site_->Active()->TranslateAccelerator(&copy) == S_OK;
}

bool TWebBrowserHost::HasDocument() {
    if (!browser_) return false;
    IDispatch* document = nullptr;
    const HRESULT hr = browser_->get_Document(&document);
    const bool has = SUCCEEDED(hr) && document;
    if (document) document->Release();
    return has;
}

IViewerBrowser::TLoad TWebBrowserHost::LoadState() {
    if (loaded_) return TLoad::Shown;
    // An error with no document at all: the component has nothing to show pages with.
    if (navigationFailed_ && !HasDocument()) return TLoad::Failed;
    return TLoad::Loading;
}

void TWebBrowserHost::OnEvent(int dispid, const std::string& url) {
    switch (dispid) {
    case DISPID_BEFORENAVIGATE2:
        if (OnBeforeNavigate) OnBeforeNavigate(url);
        break;
    case DISPID_DOCUMENTCOMPLETE:
        loaded_ = true;
        break;
    case DISPID_NAVIGATEERROR:
        navigationFailed_ = true;
        break;
    default:
        break;
    }
}

bool TWebBrowserHost::Navigate(const std::string& url) {
    if (!browser_) return false;
    const std::wstring wide = Wide(url);
    BSTR address = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!address) return false;
    VARIANT empty;
    VariantInit(&empty);
    const HRESULT hr = browser_->Navigate(address, &empty, &empty, &empty, &empty);
    SysFreeString(address);
    return SUCCEEDED(hr);
}

bool TWebBrowserHost::GoBack() {
    return browser_ && browser_->GoBack() == S_OK;
}

bool TWebBrowserHost::GoForward() {
    return browser_ && browser_->GoForward() == S_OK;
}

void TWebBrowserHost::Stop() {
    if (browser_) browser_->Stop();
}

std::string TWebBrowserHost::LocationUrl() {
    if (!browser_) return {};
    BSTR location = nullptr;
    std::string url;
    if (SUCCEEDED(browser_->get_LocationURL(&location)) && location) url = Narrow(location);
    if (location) SysFreeString(location);
    return url;
}

std::unique_ptr<IViewerBrowser> MakeWebBrowser(HWND parent, const TRect& rect, std::string& error) {
    auto host = std::make_unique<TWebBrowserHost>();
    if (!host->Create(parent, rect, ID_HELP_BROWSER)) {
        error = host->Error();
        return nullptr;
    }
    return host;
}
