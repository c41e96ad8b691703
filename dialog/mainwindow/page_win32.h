#pragma once
#include <windows.h>

#include "common/records.h"
#include "dialog/ui/containers_win32.h"

class TMainForm;

// One tab page of the main window. The main window creates every page, then lets each
// load its data, tells each of the monitor's news, and has each save at destruction; a
// page builds its own controls and handles them itself.
class TPage {
public:
    explicit TPage(TMainForm& main) : main_(main) {}
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
    TMainForm& main_;

private:
    TContainer container_;
};
