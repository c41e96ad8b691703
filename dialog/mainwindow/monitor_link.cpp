#include "dialog/mainwindow/monitor_link.h"

#include <algorithm>
#include <cstring>

#include "common/messages.h"

TMonitorLink::TMonitorLink(IMonitorChannel& channel, IWaitIndicator& wait)
    : channel_(channel), wait_(wait) {}

void TMonitorLink::AnnounceWindow(std::uintptr_t window) {
    channel_.Post(UM_DIALOGREADY, window, 0);
}

void TMonitorLink::AskToClose() {
    channel_.Post(UM_DIALOGCLOSED, 0, 0);
}

void TMonitorLink::ApplySettings(std::uint8_t what) {
    channel_.Post(UM_APPLYSETTINGS, what, 0);
}

void TMonitorLink::TestEvent(std::uint16_t ruleId) {
    channel_.Post(UM_TESTEVENT, ruleId, 0);
}

void TMonitorLink::Suspend(bool suspend) {
    channel_.Post(UM_SUSPEND, suspend ? 1 : 0, 0);
}

bool TMonitorLink::RunCommand(const TCommandRequest& request) {
    if (!channel_.Known()) return false;
    if (inFlight_ && pending_.size() >= MaxPending) return false;
    if (request.Wait && waits_++ == 0) wait_.BeginWait();
    if (inFlight_)
        pending_.push_back(request);
    else
        Send(request);
    return true;
}

void TMonitorLink::Send(const TCommandRequest& request) {
    inFlight_ = request;
    if (request.Echo && output_) output_->Echo(request.Text);
    std::intptr_t argument = 0;
    if (request.WithText) {
        const std::size_t n = std::min(request.Text.size(), CommandBufferSize - 1);
        std::memcpy(buffer_.data(), request.Text.data(), n);
        buffer_[n] = '\0';
        argument = reinterpret_cast<std::intptr_t>(buffer_.data());
    }
    channel_.Post(UM_RUNCOMMAND, request.Code, argument);
    channel_.Post(UM_REFRESH, 0, 0);
}

void TMonitorLink::OnAnswer(std::optional<std::string_view> answer) {
    const TAnswerLine line = answer ? AnswerLine(*answer) : NoAnswerLine();
    if (!inFlight_) {
        // Nobody's command: shown as the monitor sent it, and no wait of ours ends.
        Show(line);
        return;
    }
    const TCommandRequest answered = std::move(*inFlight_);
    inFlight_.reset();
    if (answered.ShowAnswer) Show(line);
    if (answered.Wait && --waits_ == 0) wait_.EndWait();
    if (pending_.empty()) return;
    const TCommandRequest next = std::move(pending_.front());
    pending_.pop_front();
    Send(next);
}

void TMonitorLink::Show(const TAnswerLine& line) {
    if (line.Shown && output_) output_->ShowAnswer(line);
}
