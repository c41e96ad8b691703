#pragma once
#include <cstdint>
#include <vector>

#include "monitor/netserver/net_exchange.h"
#include "monitor/netserver/net_server.h"

// The network server without sockets or a thread: records how the monitor starts and stops
// it, and lets a test act as its clients through the exchange it was given.
class FakeNetServer final : public INetServer {
public:
    int starts = 0, stops = 0;
    TNetServerSettings settings;
    std::vector<std::uint32_t> addresses;
    std::vector<TNetListenFailure> failWith; // addresses that "cannot be opened"
    TNetExchange* exchange = nullptr;
    bool running = false;
    TNetSnapshot atStart; // what the first client would have seen

    bool Start(const TNetServerSettings& s, const std::vector<std::uint32_t>& a, TNetExchange& e,
               std::vector<TNetListenFailure>& failures) override {
        ++starts;
        settings = s;
        addresses = a;
        failures = failWith;
        running = failures.size() < a.size();
        exchange = running ? &e : nullptr;
        atStart = e.Snapshot();
        return running;
    }
    void Stop() override {
        ++stops;
        running = false;
        exchange = nullptr;
    }
    bool Running() const override { return running; }

    // A client logs in or out, as the server would tell the monitor.
    void Login(const std::string& who, int logins) {
        exchange->SetLogins(logins);
        exchange->Submit({TNetEvent::Kind::Login, who, {}, 0, {}});
    }
    void Logout(const std::string& who, int logins) {
        exchange->SetLogins(logins);
        exchange->Submit({TNetEvent::Kind::Logout, who, {}, 0, {}});
    }
};
