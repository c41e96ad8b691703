#pragma once
#include <cstdint>
#include <string>

// What the server hands to the control loop: a client's login and logout and a forced
// shutdown it set, for the journal, and the instant commands to perform. Who is the
// client as the journal names it: user@address.
struct TNetEvent {
    enum class Kind : std::uint8_t { Login, Logout, ForcedShutdown, Command };
    Kind What = Kind::Login;
    std::string Who;
    std::string Name;         // the instant command as the client named it
    std::uint8_t Command = 0; // the driver's command number
    std::string Argument;
};

// Where the request handler sends its events. False when the event cannot be taken (the
// control loop has fallen behind): a command then fails.
class INetEventSink {
public:
    virtual ~INetEventSink() = default;
    virtual bool Submit(const TNetEvent& event) = 0;
};
