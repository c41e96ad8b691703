#include <algorithm>
#include <string>

#include "common/clock.h"
#include "common/events.h"
#include "common/messages.h"
#include "monitor/netserver/net_server.h"
#include "monitor/runtime/kovrin.h"

namespace {

const char* const TextServerPrefix = "Сетевой сервер ИБП";
const char* const TextFsdAnnounced = "FSD (принудительное выключение) объявлено сетевым клиентам.";
const char* const TextClientsLeft = "Все сетевые клиенты вышли.";
const char* const TextFsdCleared = "FSD снят: питание от сети восстановлено.";
const char* const TextFsdClearedRunning = "FSD снят: компьютер продолжает работу от сети.";

std::string Endpoint(std::uint32_t address, std::uint16_t port) {
    return FormatIpv4(address) + ":" + std::to_string(port);
}

} // namespace

void TKovrin::RestartNetServer() {
    INetServer* server = platform_.NetServer;
    if (server == nullptr) return;
    const bool wanted = netSettings_.Enabled;
    // Unchanged settings keep the clients connected: "Применить" for another setting must
    // not make every client on the network see the UPS vanish for a moment.
    if (netRunning_ && wanted && netSettings_ == netServing_) return;
    if (netRunning_) {
        StopNetServer();
        if (!wanted) WriteJournal(std::string(TextServerPrefix) + " остановлен.", JK_INFO);
    }
    if (!wanted) return;

    const TListenList list = ParseListenList(netSettings_.Listen);
    for (const std::string& bad : list.Bad)
        WriteJournal(std::string(TextServerPrefix) + ": неверный адрес \"" + bad + "\".", JK_ERROR);
    if (list.Addresses.empty()) return;

    const WindowHandle window = window_;
    IMessageQueue& queue = platform_.Queue;
    netExchange_.SetWake([&queue, window] { queue.Post(window, UM_NETEVENT, 0, 0); });
    PublishNetSnapshot();
    std::vector<TNetListenFailure> failures;
    netRunning_ = server->Start(netSettings_, list.Addresses, netExchange_, failures);
    for (const TNetListenFailure& f : failures)
        WriteJournal(std::string(TextServerPrefix) + ": не удалось открыть порт " +
                         Endpoint(f.Address, netSettings_.Port) + " (ошибка " +
                         std::to_string(f.Error) + ").",
                     JK_ERROR);
    if (!netRunning_) return;
    // A server that lost an address keeps what it has; the next "Применить" tries again.
    netServing_ = netSettings_;
    if (!failures.empty()) netServing_.Listen.clear();
    for (const std::uint32_t address : list.Addresses) {
        const bool failed = std::any_of(failures.begin(), failures.end(),
                                        [address](const auto& f) { return f.Address == address; });
        if (!failed)
            WriteJournal(std::string(TextServerPrefix) + " слушает " +
                             Endpoint(address, netSettings_.Port) + ".",
                         JK_INFO);
    }
}

void TKovrin::StopNetServer() {
    if (!netRunning_ || platform_.NetServer == nullptr) return;
    platform_.NetServer->Stop();
    netRunning_ = false;
    // The connections just closed end their logins: journalled like any other logout.
    HandleNetEvents();
}

void TKovrin::PublishNetSnapshot() {
    TNetSnapshot s;
    s.Stale = !(opened_ && failedPolls_ < LinkLossThreshold && statusPolled_);
    s.Status = status_;
    s.Info = info_;
    s.Rating = rating_;
    netExchange_.Publish(s);
}

void TKovrin::HandleNetEvents() {
    TNetEvent e;
    while (netExchange_.TakeEvent(e)) {
        switch (e.What) {
        case TNetEvent::Kind::Login:
            WriteJournal("Вход сетевого клиента " + e.Who + ".", JK_INFO);
            break;
        case TNetEvent::Kind::Logout:
            WriteJournal("Выход сетевого клиента " + e.Who + ".", JK_INFO);
            break;
        case TNetEvent::Kind::ForcedShutdown:
            WriteJournal("FSD (принудительное выключение) от сетевого клиента " + e.Who + ".",
                         JK_INFO);
            break;
        case TNetEvent::Kind::Command: {
            // The link may have been lost since the server took the command.
            if (!opened_ || failedPolls_ >= LinkLossThreshold) {
                // The reason first: a long name may be cut at the journal's 100 characters.
                WriteJournal("Команда не выполнена (нет связи с UPS): " + e.Name + " от " + e.Who +
                                 ".",
                             JK_WARNING);
                break;
            }
            WriteJournal("Команда " + e.Name + " от сетевого клиента " + e.Who + ".", JK_INFO);
            char answer[256] = {};
            ExecuteCommand(e.Command, e.Argument.empty() ? nullptr : e.Argument.c_str(), answer,
                           sizeof answer);
            break;
        }
        }
    }
}

void TKovrin::WarnNetClients() {
    if (!netRunning_) return;
    // The clients read the status this computer's rule acts on, with FSD in front.
    PublishNetSnapshot();
    if (!netExchange_.ForcedShutdown()) {
        netExchange_.SetForcedShutdown(true);
        WriteJournal(TextFsdAnnounced, JK_INFO);
    }
    if (netExchange_.Logins() == 0) return;
    // A bounded wait on the control thread: this computer is about to go down, and the
    // rules after this one keep their order. The server's own thread goes on serving.
    const std::uint32_t start = platform_.Clock.TickCount();
    while (netExchange_.Logins() > 0 && platform_.Clock.TickCount() - start < NetLogoutWaitMs)
        platform_.Clock.Sleep(100);
    HandleNetEvents();
    const int left = netExchange_.Logins();
    if (left == 0)
        WriteJournal(TextClientsLeft, JK_INFO);
    else
        WriteJournal("Не вышли за " + std::to_string(NetLogoutWaitMs / 1000) +
                         " с сетевые клиенты: " + std::to_string(left) + ".",
                     JK_WARNING);
}

void TKovrin::ClearNetForcedShutdown() {
    if (!netExchange_.ForcedShutdown()) return;
    netExchange_.SetForcedShutdown(false);
    WriteJournal(TextFsdCleared, JK_INFO);
}

void TKovrin::NetComputerRunsOn() {
    if ((status_.Flags & UPS_ONBATTERY) != 0 || !netExchange_.ForcedShutdown()) return;
    netExchange_.SetForcedShutdown(false);
    WriteJournal(TextFsdClearedRunning, JK_INFO);
}
