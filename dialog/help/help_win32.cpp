#include "dialog/help/help_win32.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>

#include "common/files.h"
#include "dialog/help/help_form_win32.h"
#include "dialog/help/help_topics.h"
#include "dialog/help/help_url.h"
#include "dialog/module/modal_loop_win32.h"
#include "dialog/module/window_host_win32.h"

namespace {

// The one viewer, alive while OpenHelpTopic runs its loop.
std::unique_ptr<THelpForm> viewer;
bool looping = false;

// How long the first page may take before the viewer is shown all the same.
constexpr DWORD FirstPageWait = 5000;

// The first page, loaded while the viewer is still hidden: shown, failed, or slow (then
// the viewer shows what comes).
IViewerBrowser::TLoad AwaitFirstPage(THelpForm& form, TWindowHost& host) {
    const DWORD start = GetTickCount();
    for (;;) {
        const IViewerBrowser::TLoad state = form.Browser().LoadState();
        if (state != IViewerBrowser::TLoad::Loading) return state;
        const DWORD waited = GetTickCount() - start;
        if (waited >= FirstPageWait || !host.OwnerVisible()) return state;
        if (!PumpMessages()) return state;
        WaitForMessage(std::min<DWORD>(50, FirstPageWait - waited));
    }
}

// The system's default browser, at the topic if it takes the address, else the document.
bool OpenInShell(const std::string& path, const std::string& anchor) {
    auto open = [](const std::string& what) {
        const HINSTANCE rc =
            ShellExecuteA(nullptr, "open", what.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(rc) > 32;
    };
    return open(HelpUrl(path, anchor)) || open(path);
}

void ReportBrowserFailure(TWindowHost& host, const std::string& path, const std::string& anchor) {
    host.ShowMessageBox(BrowserFailureMessage, "Ошибка", MB_OK | MB_ICONERROR);
    if (!OpenInShell(path, anchor))
        host.ShowMessageBox("Справку не удалось открыть и в обозревателе, выбранном в системе.\r"
                            "Откройте файл справки в любом обозревателе:\r" +
                                path,
                            "Ошибка", MB_OK | MB_ICONERROR);
}

void RunViewer(TWindowHost& host) {
    looping = true;
    viewer->Show(true);
    SetForegroundWindow(viewer->Handle());
    // Until the viewer is closed, or the main window has gone (the final close): the
    // viewer never outlives the window it belongs to.
    while (PumpMessages() && viewer->Visible() && host.OwnerVisible())
        WaitForMessage(INFINITE);
    looping = false;
    viewer.reset();
}

} // namespace

void OpenHelpTopic(TWindowHost& host, int topic) {
    const std::string path = HelpDocumentPath(host.ProgramDir());
    if (!SystemFiles().Exists(path)) {
        host.ShowMessageBox(MissingManualMessage, "Ошибка", MB_OK | MB_ICONERROR);
        return;
    }
    const std::string anchor(HelpTopicAnchor(topic));
    if (viewer) {
        // A second request while the viewer is open goes to the same window.
        viewer->OpenTopic(path, anchor);
        viewer->Show(true);
        SetForegroundWindow(viewer->Handle());
        if (looping) return;
    }
    bool failed = false;
    try {
        if (!viewer) {
            viewer = std::make_unique<THelpForm>();
            looping = true; // a request meanwhile only goes to the topic
            failed = !viewer->Create(&MakeWebBrowser) || !viewer->OpenTopic(path, anchor) ||
                     AwaitFirstPage(*viewer, host) == IViewerBrowser::TLoad::Failed;
            looping = false;
        }
        if (!failed && host.OwnerVisible()) RunViewer(host);
    } catch (...) {
        failed = true;
    }
    looping = false;
    viewer.reset();
    if (failed && host.OwnerVisible()) ReportBrowserFailure(host, path, anchor);
}
