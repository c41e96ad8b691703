#include <exception>
#include <string>

#include "common/clock.h"
#include "common/commands.h"
#include "common/events.h"
#include "common/messages.h"
#include "monitor/events/statistics.h"
#include "monitor/runtime/kovrin.h"
#include "monitor/runtime/tray_logic.h"
#include "monitor/runtime/wake_signal.h"

namespace {

const char* const TextEmergency = "Аварийное завершение работы.";
const char* const TextStarting = "Запуск...";
const char* const TextLinkUp = "Связь с UPS успешно установлена.";
const char* const TextNoAnswer = "Нет ответа от UPS.";
const char* const TextNoPort = "Не удалось открыть порт.";
const char* const TextNoLinkTip = "Нет связи с UPS!";
const char* const TextApplying = "Применение настроек...";
const char* const TextBreaking = "Разрываю связь с UPS...";
const char* const TextLoading = "Загрузка настроек...";
const char* const TextApplyEvents = "Применение настроек событий.";
const char* const TextApplyCommands = "Применение настроек команд.";
const char* const TextFatal = "Фатальная ошибка!";
const char* const TextShuttingDown = "Завершение работы...";
const char* const TextExit = "Выход.";

std::uint16_t Low16(std::uintptr_t v) {
    return static_cast<std::uint16_t>(v & 0xFFFF);
}
std::uint8_t Low8(std::uintptr_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

} // namespace

void TKovrin::Run() {
    if (fatal_) {
        WriteJournal(TextEmergency, JK_ERROR);
        return;
    }
    running_ = true;
    Open();
    WriteJournal(TextStarting, JK_INFO);

    if (opened_ && Identify(rating_, info_)) {
        WriteJournal(TextLinkUp, JK_INFO);
        failedPolls_ = 0;
        CheckBatteryLimits();
    } else if (opened_) {
        UpdateTrayIcon("NC", TextNoLinkTip);
        WriteJournal(TextNoAnswer, JK_ERROR);
        failedPolls_ = LinkLossThreshold;
    } else {
        UpdateTrayIcon("MAINICON", TextNoPort);
        WriteJournal(TextNoPort, JK_ERROR);
        failedPolls_ = LinkLossThreshold;
    }

    RestartNetServer();
    LoadEventRules();
    LoadCustomCommands();
    OpenStatFile();
    RaiseEvent(EV_PROGRAMSTART);
    RaiseEvent(failedPolls_ < LinkLossThreshold ? EV_LINKUP : EV_LINKLOST);

    platform_.Queue.StartTimer(PollTimerId, static_cast<std::uint32_t>(interval_));
    platform_.Queue.Post(window_, UM_REFRESH, 0, 0); // first poll at once
    lastStatTick_ = 0;
    statTransitionPending_ = false;
    statusPolled_ = false;

    bool quit = false;
    while (!quit) {
        Message message;
        if (TakeMessage(message)) {
            GuardedHandleMessage(message, quit);
            platform_.Clock.Sleep(1);
        } else {
            // Asleep until a message is handed over: polls, requests and the quit all come
            // as messages, and the statistics' own time bounds the wait.
            WaitForMessage(IdleWait());
        }
        CheckStatistics(quit);
    }
    ShutDown();
}

void TKovrin::GuardedHandleMessage(const Message& message, bool& quit) {
    std::string reason;
    try {
        HandleMessage(message, quit);
        return;
    } catch (const std::exception& e) {
        reason = e.what();
    } catch (...) {
        reason = "unknown error";
    }
    // The message was released as the first step of its handling; end in order.
    WriteJournal(TextFatal, JK_ERROR);
    platform_.Desktop.MessageBox(window_,
                                 "Произошла фатальная ошибка: \"" + reason +
                                     "\"\r\rДальнейшая работа программы невозможна.",
                                 "Фатальная ошибка", MBX_ICONERROR);
    quit = true;
}

void TKovrin::HandleMessage(const Message& m, bool& quit) {
    if (m.Msg == SYS_ENDSESSION) {
        // Not released: the system's end-of-session call returns only after the monitor
        // has shut down and the window thread is stopped.
        quit = true;
        return;
    }
    ReleaseMessage();
    switch (m.Msg) {
    case SYS_CLOSE:
    case SYS_QUERYENDSESSION:
    case UM_QUIT:
        quit = true;
        break;
    case SYS_COMMAND:
        switch (Low16(m.WParam)) {
        case MENU_OPENDIALOG:
            LoadDialog();
            break;
        case MENU_CLOSEDIALOG:
            CloseDialog();
            break;
        case MENU_EXIT:
            quit = true;
            break;
        }
        break;
    case SYS_TIMER:
        Poll();
        break;
    case UM_TRAYICON:
        if (m.LParam == TRAY_LBUTTONDOWN)
            LoadDialog();
        else if (m.LParam == TRAY_RBUTTONDOWN)
            platform_.Tray.ShowMenu(window_);
        break;
    case UM_APPLYSETTINGS:
        switch (Low8(m.WParam)) {
        case APPLY_ALL:
            ApplyAllSettings();
            break;
        case APPLY_EVENTS:
            WriteJournal(TextApplyEvents, JK_INFO);
            FreeEventRules();
            LoadEventRules();
            break;
        case APPLY_COMMANDS:
            WriteJournal(TextApplyCommands, JK_INFO);
            FreeCustomCommands();
            LoadCustomCommands();
            break;
        }
        break;
    case UM_DIALOGREADY:
        dialogWindow_ = static_cast<WindowHandle>(m.WParam);
        PostToDialog(TD_LINKSTATE, LinkState());
        SendToDialog(TD_INFO, &info_);
        SendToDialog(TD_RATING, &rating_);
        SendToDialog(TD_STATUS, &status_);
        break;
    case UM_DIALOGCLOSED:
        UnloadDialog();
        break;
    case UM_SUSPEND:
        if (m.WParam == 0) suspended_ = false;
        if (m.WParam == 1) suspended_ = true;
        break;
    case UM_RUNCOMMAND:
        RunCommandForDialog(Low8(m.WParam), m.LParam);
        break;
    case UM_TESTEVENT:
        RunRulesById(static_cast<std::uint16_t>(m.WParam));
        break;
    case UM_REFRESH:
        if (ExecuteCommand(CMD_RATING, nullptr, &rating_, sizeof rating_)) {
            SendToDialog(TD_RATING, &rating_);
            Poll();
        } else {
            CountFailedPoll();
        }
        break;
    case UM_READDICON:
        AddTrayIcon();
        break;
    case UM_NETEVENT:
        HandleNetEvents();
        break;
    default:
        break;
    }
}

std::int32_t TKovrin::LinkState() const {
    if (!opened_) return LINK_NOPORT;
    return failedPolls_ < LinkLossThreshold ? LINK_UP : LINK_NOANSWER;
}

void TKovrin::RunCommandForDialog(std::uint8_t number, std::intptr_t argument) {
    if (failedPolls_ >= LinkLossThreshold) {
        SendToDialog(TD_NOANSWER, nullptr);
        return;
    }
    // Large enough for the custom answer and for any of the three records.
    char answer[256] = {};
    const char* text = reinterpret_cast<const char*>(argument);
    if (ExecuteCommand(number, text, answer, sizeof answer))
        SendToDialog(TD_ANSWER, answer);
    else
        SendToDialog(TD_NOANSWER, nullptr);
}

void TKovrin::Poll() {
    if (!EvaluateStatus()) {
        CountFailedPoll();
        return;
    }
    const bool failed = transitions_[TR_POWERFAIL];
    const bool returned = transitions_[TR_POWERRESTORE];
    if (failInterval_ != interval_) {
        if (failed) RestartPollTimer(failInterval_);
        if (returned) RestartPollTimer(interval_);
    }
    if (failedPolls_ >= LinkLossThreshold) {
        WriteJournal(TextLinkUp, JK_INFO);
        PostToDialog(TD_LINKSTATE, LINK_UP);
        // The icon showed "no link"; show the status held now rather than waiting for
        // the next change of status.
        UpdateTrayIcon(TrayIconName(status_.BatteryCharge, status_.Flags).c_str(),
                       TrayTipText(status_.BatteryCharge, status_.Flags).c_str());
        RaiseEvent(EV_LINKUP);
    }
    failedPolls_ = 0;
    statusPolled_ = true;
    if (failed || returned) statTransitionPending_ = true;
    if (returned) ClearNetForcedShutdown();
    PublishNetSnapshot();
    // Also here, in case a wake message was lost: the server's events wait no longer than a poll.
    HandleNetEvents();
}

void TKovrin::CountFailedPoll() {
    // Only the third failure in a row is reported; later ones change nothing.
    if (failedPolls_ >= LinkLossThreshold || ++failedPolls_ < LinkLossThreshold) return;
    PostToDialog(TD_LINKSTATE, LINK_NOANSWER);
    WriteJournal(TextNoAnswer, JK_ERROR);
    UpdateTrayIcon("NC", TextNoLinkTip);
    PublishNetSnapshot(); // stale for the network clients before any rule acts
    RaiseEvent(EV_LINKLOST);
}

void TKovrin::RestartPollTimer(std::int32_t period) {
    platform_.Queue.StopTimer(PollTimerId);
    platform_.Queue.StartTimer(PollTimerId, static_cast<std::uint32_t>(period));
}

void TKovrin::ApplyAllSettings() {
    if (!OnLoadSettings) return;
    WriteJournal(TextApplying, JK_INFO);
    if (opened_ && failedPolls_ < LinkLossThreshold) WriteJournal(TextBreaking, JK_WARNING);
    platform_.Queue.StopTimer(PollTimerId);
    Close();
    status_ = TUpsStatus{}; // the first poll afterwards always counts as a change
    statusPolled_ = false;
    WriteJournal(TextLoading, JK_INFO);
    Open();
    if (!opened_) {
        PostToDialog(TD_LINKSTATE, LINK_NOPORT);
        UpdateTrayIcon("MAINICON", TextNoPort);
        WriteJournal(TextNoPort, JK_ERROR);
        failedPolls_ = LinkLossThreshold;
    } else if (Identify(rating_, info_)) {
        PostToDialog(TD_LINKSTATE, LINK_UP);
        SendToDialog(TD_INFO, &info_);
        SendToDialog(TD_RATING, &rating_);
        WriteJournal(TextLinkUp, JK_INFO);
        platform_.Queue.Post(window_, UM_REFRESH, 0, 0);
        failedPolls_ = 0;
        CheckBatteryLimits();
    } else {
        PostToDialog(TD_LINKSTATE, LINK_NOANSWER);
        UpdateTrayIcon("NC", TextNoLinkTip);
        WriteJournal(TextNoAnswer, JK_ERROR);
        failedPolls_ = LinkLossThreshold;
    }
    PublishNetSnapshot(); // stale until the first poll with the new settings
    RestartNetServer();
    platform_.Queue.StartTimer(PollTimerId, static_cast<std::uint32_t>(interval_));
}

void TKovrin::CheckStatistics(bool quitting) {
    // One record per mains transition: the flag is consumed by the pass that follows the
    // poll, whether or not a record could be written then.
    const StatCheck check{statInterval_,          failedPolls_,           suspended_,
                          statTransitionPending_, statTransitionPending_, quitting};
    statTransitionPending_ = false;
    // Until the first poll of the run (or after the settings were applied) the status is
    // all zeros, which is no measurement: the diagram would show a drop to 0 V each time.
    if (!statusPolled_) return;
    const std::uint32_t now = platform_.Clock.TickCount();
    if (!StatRecordDue(check, now, lastStatTick_)) return;
    WriteStatRecord();
    lastStatTick_ = now;
}

std::uint32_t TKovrin::IdleWait() const {
    if (!statusPolled_) return IWakeSignal::Forever;
    const StatCheck check{statInterval_, failedPolls_, suspended_, false, false, false};
    return StatRecordWait(check, platform_.Clock.TickCount(), lastStatTick_)
        .value_or(IWakeSignal::Forever);
}

void TKovrin::ShutDown() {
    WriteJournal(TextShuttingDown, JK_INFO);
    UnloadDialog();
    RaiseEvent(EV_PROGRAMEXIT);
    platform_.Queue.StopTimer(PollTimerId);
    Close();
    StopNetServer();
    CloseStatFile();
    FreeCustomCommands();
    FreeEventRules();
    WriteJournal(TextExit, JK_INFO);
    WriteJournal("", JK_ENDOFRUN);
    running_ = false;
}
