#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/net_settings.h"
#include "monitor/netserver/net_exchange.h"
#include "monitor/netserver/request_handler.h"

// The server's connections without the sockets: what each client sent and is owed, its
// session, and the limits that keep one client from costing the others anything. The
// socket layer (one thread) feeds it received bytes, sends what it holds, and closes what
// it says to close. Every client holds at most InputCapacity bytes not yet answered and
// gets no more requests answered while OutputLimit bytes of replies wait for it.
class TNetServerCore final : private IServerContext {
public:
    static constexpr std::size_t MaxClients = 64;
    static constexpr std::size_t MaxLine = 512;        // bytes of a request, its LF not counted
    static constexpr std::size_t InputCapacity = 1024; // unanswered bytes held per client
    static constexpr std::size_t OutputLimit = 8192;   // replies waiting before reading stops
    static constexpr std::uint32_t IdleLimitMs = 5 * 60 * 1000; // without a whole request
    // Told to a connection beyond MaxClients before it is closed.
    static constexpr std::string_view RefusalLine = "ERR ACCESS-DENIED\n";

    TNetServerCore(const TNetServerSettings& settings, TNetExchange& exchange);

    // A new connection from an IPv4 address (dotted): its slot, or -1 when all are taken.
    int Accept(const std::string& address, std::uint32_t now);
    // How many bytes the slot takes now: 0 while its replies wait to be sent.
    std::size_t ReceiveRoom(int slot) const;
    // Bytes received (at most ReceiveRoom); answers the whole lines among them.
    void Receive(int slot, std::string_view bytes, std::uint32_t now);
    std::string_view PendingOutput(int slot) const;
    // Bytes of PendingOutput sent; answering goes on when there is room again.
    void Sent(int slot, std::size_t count, std::uint32_t now);
    // The connection is to be closed: its LOGOUT answered and sent, or idle too long.
    bool WantsClose(int slot) const;
    // The connection is gone (whoever closed it): a login ends here.
    void Close(int slot);
    // Marks the clients idle for IdleLimitMs for closing.
    void Tick(std::uint32_t now);

    bool InUse(int slot) const;
    std::size_t Clients() const;

private:
    struct Client {
        bool InUse = false;
        TClientSession Session;
        std::string Input;     // received, not yet answered
        bool Skipping = false; // inside a request line that was too long: up to its LF
        std::string Output;    // answered, not yet sent
        std::size_t OutputSent = 0;
        std::uint32_t LastRequest = 0;
        bool Idle = false;
    };

    void Answer(Client& client, std::uint32_t now);

    // IServerContext
    const TNetServerSettings& Settings() const override { return settings_; }
    TNetSnapshot Snapshot() const override { return exchange_.Snapshot(); }
    bool ForcedShutdown() const override { return exchange_.ForcedShutdown(); }
    void SetForcedShutdown() override { exchange_.SetForcedShutdown(true); }
    int Logins() const override;
    std::vector<std::string> LoginAddresses() const override;
    void LoginChanged() override { exchange_.SetLogins(Logins()); }
    INetEventSink& Events() override { return exchange_; }

    TNetServerSettings settings_;
    TNetExchange& exchange_;
    std::array<Client, MaxClients> clients_;
};
