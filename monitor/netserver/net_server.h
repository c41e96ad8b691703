#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/net_settings.h"

class TNetExchange;

// An address the server could not listen on, with the system's error number.
struct TNetListenFailure {
    std::uint32_t Address;
    int Error;
};

// The network UPS server: sockets and a thread of its own (Winsock in the Windows build).
// It serves the clients with a TNetServerCore over the exchange and touches nothing else
// of the monitor.
class INetServer {
public:
    virtual ~INetServer() = default;
    // Listens on each of the addresses at the settings' port and starts serving. True when
    // at least one address listens; each one that does not is in failures.
    virtual bool Start(const TNetServerSettings& settings,
                       const std::vector<std::uint32_t>& addresses, TNetExchange& exchange,
                       std::vector<TNetListenFailure>& failures) = 0;
    // Closes every connection (each login ends, as the exchange is told) and the listening
    // sockets, and ends the thread. Nothing touches the exchange afterwards.
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
};

// The Winsock server; only the Windows build has it.
std::unique_ptr<INetServer> MakeWin32NetServer();
