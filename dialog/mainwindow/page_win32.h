#pragma once
#include <windows.h>

#include "common/records.h"
#include "dialog/ui/containers_win32.h"

class TMonitorLink;
class TWindowHost;

// One tab page of the main window. The main window creates every page, then lets each
// load its data, tells each of the monitor's news, and has each save at destruction; a
// page builds its own controls and handles them itself. It reaches the window through
// the host (boxes, modal windows, files) and the monitor through the link.
class TPage {
public:
    TPage(TWindowHost& host, TMonitorLink& link) : host_(host), link_(link) {}
    TPage(const TPage&) = delete;
    TPage& operator=(const TPage&) = delete;
    virtual ~TPage() = default;

    // Makes the page's container and controls inside the tab control's display area.
    bool Create(HWND tabControl, const TRect& area);
    HWND Handle() const { return container_.Handle(); }
    void Show(bool visible) { container_.Show(visible); }

    // Data read when the main window is created (in the main window's order).
    virtual void Load() {}
    // Written when the main window is destroyed.
    virtual void Save() {}
    // The link went up (true) or down: the page greys what needs the UPS.
    virtual void OnLinkState(bool up) { (void)up; }
    // A status record from the monitor (copied by the main window).
    virtual void OnStatus(const TUpsStatus& status) { (void)status; }

protected:
    virtual bool CreateControls() = 0;
    HWND Parent() const { return container_.Handle(); }
    TWindowHost& host_;
    TMonitorLink& link_;

private:
    TContainer container_;
};
