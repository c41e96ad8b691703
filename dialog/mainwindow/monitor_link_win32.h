#pragma once
#include <windows.h>

#include <memory>

#include "dialog/mainwindow/monitor_link.h"

class TWindowHost;
class TWaitForm;

// The monitor's hidden window, which the user-interface thread names once the main window
// exists. Posts before then are dropped.
class TMonitorWindow : public IMonitorChannel {
public:
    void SetWindow(HWND monitor) { window_ = monitor; }
    bool Known() const override { return window_ != nullptr; }
    void Post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    HWND window_ = nullptr;
};

// The wait window over the host's owner, which stays disabled while it is up.
class TWaitIndicator : public IWaitIndicator {
public:
    explicit TWaitIndicator(TWindowHost& host);
    ~TWaitIndicator() override;
    void BeginWait() override;
    void EndWait() override;

private:
    TWindowHost& host_;
    bool waiting_ = false;
    std::unique_ptr<TWaitForm> form_;
};
