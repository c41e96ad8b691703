#include "monitor/netserver/net_server_core.h"

namespace {

constexpr std::string_view TooLong = "ERR INVALID-ARGUMENT\n";

} // namespace

TNetServerCore::TNetServerCore(const TNetServerSettings& settings, TNetExchange& exchange)
    : settings_(settings), exchange_(exchange) {
    exchange_.SetLogins(0);
}

int TNetServerCore::Accept(const std::string& address, std::uint32_t now) {
    for (std::size_t i = 0; i < clients_.size(); ++i) {
        Client& c = clients_[i];
        if (c.InUse) continue;
        c = Client{};
        c.InUse = true;
        c.Session.Address = address;
        c.LastRequest = now;
        return static_cast<int>(i);
    }
    return -1;
}

bool TNetServerCore::InUse(int slot) const {
    return slot >= 0 && static_cast<std::size_t>(slot) < clients_.size() && clients_[slot].InUse;
}

std::size_t TNetServerCore::Clients() const {
    std::size_t n = 0;
    for (const Client& c : clients_)
        n += c.InUse;
    return n;
}

std::size_t TNetServerCore::ReceiveRoom(int slot) const {
    if (!InUse(slot)) return 0;
    const Client& c = clients_[slot];
    // A leaving client's last words are read and dropped, so that closing the connection
    // does not discard the goodbye on its way.
    if (c.Session.Leaving || c.Idle) return InputCapacity;
    if (c.Output.size() >= OutputLimit) return 0;
    return InputCapacity - c.Input.size();
}

void TNetServerCore::Receive(int slot, std::string_view bytes, std::uint32_t now) {
    if (!InUse(slot)) return;
    Client& c = clients_[slot];
    if (c.Session.Leaving || c.Idle) return;
    c.Input.append(bytes.substr(0, InputCapacity - c.Input.size()));
    Answer(c, now);
}

void TNetServerCore::Answer(Client& c, std::uint32_t now) {
    while (c.Output.size() < OutputLimit && !c.Session.Leaving && !c.Idle) {
        const std::size_t lf = c.Input.find('\n');
        if (c.Skipping) {
            if (lf == std::string::npos) {
                c.Input.clear();
                return;
            }
            c.Input.erase(0, lf + 1);
            c.Skipping = false;
            continue;
        }
        if (lf == std::string::npos) {
            // A line that can no longer end within the limit: told once, then skipped.
            if (c.Input.size() > MaxLine) {
                c.Output += TooLong;
                c.Input.clear();
                c.Skipping = true;
            }
            return;
        }
        c.LastRequest = now;
        if (lf > MaxLine) {
            c.Output += TooLong;
        } else {
            c.Output += HandleRequest(std::string_view(c.Input).substr(0, lf), c.Session, *this);
        }
        c.Input.erase(0, lf + 1);
    }
}

std::string_view TNetServerCore::PendingOutput(int slot) const {
    if (!InUse(slot)) return {};
    return clients_[slot].Output;
}

void TNetServerCore::Sent(int slot, std::size_t count, std::uint32_t now) {
    if (!InUse(slot)) return;
    Client& c = clients_[slot];
    c.Output.erase(0, count);
    Answer(c, now);
}

bool TNetServerCore::WantsClose(int slot) const {
    if (!InUse(slot)) return false;
    const Client& c = clients_[slot];
    return c.Idle || (c.Session.Leaving && c.Output.empty());
}

void TNetServerCore::Close(int slot) {
    if (!InUse(slot)) return;
    Client& c = clients_[slot];
    const bool wasLoggedIn = c.Session.LoggedIn;
    const std::string who = c.Session.Who();
    c = Client{};
    if (!wasLoggedIn) return;
    LoginChanged();
    exchange_.Submit({TNetEvent::Kind::Logout, who, {}, 0, {}});
}

void TNetServerCore::Tick(std::uint32_t now) {
    for (Client& c : clients_)
        if (c.InUse && now - c.LastRequest >= IdleLimitMs) c.Idle = true;
}

int TNetServerCore::Logins() const {
    int n = 0;
    for (const Client& c : clients_)
        n += c.InUse && c.Session.LoggedIn;
    return n;
}

std::vector<std::string> TNetServerCore::LoginAddresses() const {
    std::vector<std::string> out;
    for (const Client& c : clients_)
        if (c.InUse && c.Session.LoggedIn) out.push_back(c.Session.Address);
    return out;
}
