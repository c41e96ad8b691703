#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/net_settings.h"
#include "monitor/netserver/net_events.h"
#include "monitor/netserver/snapshot.h"

// One client's state in the protocol.
struct TClientSession {
    std::string Address; // the client's IPv4 address
    std::string User, Password;
    bool HasUser = false, HasPassword = false;
    bool LoggedIn = false; // LOGIN: counted in NUMLOGINS until logout or disconnection
    bool Primary = false;  // PRIMARY (or MASTER) granted
    bool Leaving = false;  // LOGOUT answered: the connection ends once the reply is out

    // The client as the journal names it: user@address, the user as far as it is printable.
    std::string Who() const;
};

// What a request sees beyond its own session.
class IServerContext {
public:
    virtual ~IServerContext() = default;
    virtual const TNetServerSettings& Settings() const = 0;
    virtual TNetSnapshot Snapshot() const = 0;
    virtual bool ForcedShutdown() const = 0;
    virtual void SetForcedShutdown() = 0;
    virtual int Logins() const = 0;
    virtual std::vector<std::string> LoginAddresses() const = 0;
    // A session logged in (or out): the server counts it.
    virtual void LoginChanged() = 0;
    virtual INetEventSink& Events() = 0;
};

// Answers one request line (its LF taken off; a CR before it is ignored). The reply is one
// line, or a whole list, each line ended by LF; a blank line is no request and gets none.
std::string HandleRequest(std::string_view line, TClientSession& session, IServerContext& context);

// The protocol's version, as NETVER answers.
inline constexpr std::string_view NetworkProtocolVersion = "1.3";
