#include "dialog/mainwindow/monitor_link_win32.h"

#include "dialog/module/wait_form_win32.h"
#include "dialog/module/window_host_win32.h"

void TMonitorWindow::Post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (window_)
        PostMessageA(window_, msg, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

TWaitIndicator::TWaitIndicator(TWindowHost& host) : host_(host) {}

TWaitIndicator::~TWaitIndicator() = default;

void TWaitIndicator::BeginWait() {
    if (waiting_) return;
    waiting_ = true;
    host_.Hold();
    auto form = std::make_unique<TWaitForm>();
    // Without its window the wait still holds the owner: the answer is awaited all the same.
    if (!form->Create(host_.Owner())) return;
    ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
    form_ = std::move(form);
}

void TWaitIndicator::EndWait() {
    if (!waiting_) return; // only a wait that began ends
    waiting_ = false;
    if (form_) {
        form_->Destroy();
        form_.reset();
    }
    host_.Release();
}
