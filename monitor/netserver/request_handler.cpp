#include "monitor/netserver/request_handler.h"

#include <optional>

#include "monitor/netserver/instant_commands.h"
#include "monitor/netserver/request_words.h"
#include "monitor/netserver/variables.h"

namespace {

constexpr std::string_view ServerVersion = "Kovrin UPS monitor, network UPS protocol 1.3";
constexpr std::string_view HelpText = "Commands: HELP VER NETVER GET LIST SET INSTCMD LOGIN "
                                      "LOGOUT USERNAME PASSWORD STARTTLS PRIMARY MASTER FSD";

enum class TNetError {
    AccessDenied,
    UnknownUps,
    VarNotSupported,
    CmdNotSupported,
    InvalidArgument,
    InstcmdFailed,
    Readonly,
    FeatureNotConfigured,
    DataStale,
    AlreadyLoggedIn,
    AlreadySetUsername,
    AlreadySetPassword,
    UsernameRequired,
    PasswordRequired,
    UnknownCommand,
};

// The protocol's names of the errors, in the order above.
constexpr std::string_view ErrorNames[] = {
    "ACCESS-DENIED",
    "UNKNOWN-UPS",
    "VAR-NOT-SUPPORTED",
    "CMD-NOT-SUPPORTED",
    "INVALID-ARGUMENT",
    "INSTCMD-FAILED",
    "READONLY",
    "FEATURE-NOT-CONFIGURED",
    "DATA-STALE",
    "ALREADY-LOGGED-IN",
    "ALREADY-SET-USERNAME",
    "ALREADY-SET-PASSWORD",
    "USERNAME-REQUIRED",
    "PASSWORD-REQUIRED",
    "UNKNOWN-COMMAND",
};

std::string Error(TNetError e) {
    return "ERR " + std::string(ErrorNames[static_cast<int>(e)]) + "\n";
}

std::string Line(std::string_view text) {
    return std::string(text) + "\n";
}

struct TRequest {
    const std::vector<std::string>& Words;
    TClientSession& Session;
    IServerContext& Context;

    std::size_t Count() const { return Words.size(); }
    bool KnownUps(const std::string& name) const {
        return SameWord(name, Context.Settings().UpsName);
    }
};

// Why the session may not use a command that needs the user's rights, if it may not.
std::optional<TNetError> RightsMissing(const TRequest& r) {
    const TClientSession& s = r.Session;
    if (!s.HasUser) return TNetError::UsernameRequired;
    if (!s.HasPassword) return TNetError::PasswordRequired;
    const TNetServerSettings& settings = r.Context.Settings();
    // Both compared in full whatever the first finds, and an empty password never matches.
    const bool password = SameSecret(s.Password, settings.Password);
    const bool user = SameSecret(s.User, settings.User);
    if (!password || !user || settings.Password.empty()) return TNetError::AccessDenied;
    return std::nullopt;
}

// The description LIST UPS and GET UPSDESC give: the UPS's maker and model.
std::string UpsDescription(const TNetSnapshot& snapshot) {
    std::string text;
    for (const TVariableDef* v : {FindVariable("device.mfr"), FindVariable("device.model")}) {
        const std::optional<std::string> value = v->Read(snapshot, false);
        if (!value || value->empty()) continue;
        if (!text.empty()) text += ' ';
        text += *value;
    }
    return text.empty() ? "Unavailable" : text;
}

// ---- Commands without rights

std::string Ver(TRequest&) {
    return Line(ServerVersion);
}
std::string NetVer(TRequest&) {
    return Line(NetworkProtocolVersion);
}
std::string Help(TRequest&) {
    return Line(HelpText);
}
std::string StartTls(TRequest&) {
    return Error(TNetError::FeatureNotConfigured);
}

std::string Username(TRequest& r) {
    if (r.Count() != 2) return Error(TNetError::InvalidArgument);
    if (r.Session.HasUser) return Error(TNetError::AlreadySetUsername);
    r.Session.User = r.Words[1];
    r.Session.HasUser = true;
    return "OK\n";
}

std::string Password(TRequest& r) {
    if (r.Count() != 2) return Error(TNetError::InvalidArgument);
    if (r.Session.HasPassword) return Error(TNetError::AlreadySetPassword);
    r.Session.Password = r.Words[1];
    r.Session.HasPassword = true;
    return "OK\n";
}

std::string Logout(TRequest& r) {
    TClientSession& s = r.Session;
    s.Leaving = true;
    if (s.LoggedIn) {
        s.LoggedIn = false;
        r.Context.LoginChanged();
        r.Context.Events().Submit({TNetEvent::Kind::Logout, s.Who(), {}, 0, {}});
    }
    return "OK Goodbye\n";
}

// ---- GET

// The checks every request on the UPS makes: its name, then fresh data.
std::optional<TNetError> UpsUnusable(const TRequest& r, const std::string& name,
                                     const TNetSnapshot& snapshot) {
    if (!r.KnownUps(name)) return TNetError::UnknownUps;
    if (snapshot.Stale) return TNetError::DataStale;
    return std::nullopt;
}

std::string Get(TRequest& r) {
    if (r.Count() < 3) return Error(TNetError::InvalidArgument);
    const std::string& sub = r.Words[1];
    const std::string& ups = r.Words[2];
    const bool single = SameWord(sub, "UPSDESC") || SameWord(sub, "NUMLOGINS");
    const bool named = SameWord(sub, "VAR") || SameWord(sub, "TYPE") || SameWord(sub, "DESC") ||
                       SameWord(sub, "CMDDESC");
    if (!(single && r.Count() == 3) && !(named && r.Count() == 4))
        return Error(TNetError::InvalidArgument);

    const TNetSnapshot snapshot = r.Context.Snapshot();
    if (const auto e = UpsUnusable(r, ups, snapshot)) return Error(*e);
    if (SameWord(sub, "UPSDESC"))
        return "UPSDESC " + ups + " " + QuoteValue(UpsDescription(snapshot)) + "\n";
    if (SameWord(sub, "NUMLOGINS"))
        return "NUMLOGINS " + ups + " " + std::to_string(r.Context.Logins()) + "\n";

    const std::string& name = r.Words[3];
    const std::string head = " " + ups + " " + name + " ";
    if (SameWord(sub, "CMDDESC")) {
        const TInstantCommandDef* command = FindInstantCommand(name);
        if (!command) return Error(TNetError::CmdNotSupported);
        return "CMDDESC" + head + QuoteValue(command->Description) + "\n";
    }
    const TVariableDef* variable = FindVariable(name);
    const std::optional<std::string> value =
        variable ? variable->Read(snapshot, r.Context.ForcedShutdown()) : std::nullopt;
    if (!value) return Error(TNetError::VarNotSupported);
    if (SameWord(sub, "VAR")) return "VAR" + head + QuoteValue(*value) + "\n";
    if (SameWord(sub, "DESC")) return "DESC" + head + QuoteValue(variable->Description) + "\n";
    // TYPE
    if (variable->TextLength == 0) return "TYPE" + head + "NUMBER\n";
    return "TYPE" + head + "STRING:" + std::to_string(variable->TextLength) + "\n";
}

// ---- LIST

std::string List(TRequest& r) {
    if (r.Count() < 2) return Error(TNetError::InvalidArgument);
    const std::string& sub = r.Words[1];
    const TNetSnapshot snapshot = r.Context.Snapshot();
    if (SameWord(sub, "UPS")) {
        if (r.Count() != 2) return Error(TNetError::InvalidArgument);
        return "BEGIN LIST UPS\nUPS " + r.Context.Settings().UpsName + " " +
               QuoteValue(UpsDescription(snapshot)) + "\nEND LIST UPS\n";
    }
    const bool perUps = SameWord(sub, "VAR") || SameWord(sub, "RW") || SameWord(sub, "CMD") ||
                        SameWord(sub, "CLIENT");
    const bool perVariable = SameWord(sub, "ENUM") || SameWord(sub, "RANGE");
    if (!(perUps && r.Count() == 3) && !(perVariable && r.Count() == 4))
        return Error(TNetError::InvalidArgument);
    const std::string& ups = r.Words[2];
    if (const auto e = UpsUnusable(r, ups, snapshot)) return Error(*e);

    // The list's name as the client wrote it, for its first and last line.
    std::string query = sub + " " + ups;
    if (perVariable) {
        // No variable here takes a value from a set or a range: a known one lists nothing.
        const TVariableDef* variable = FindVariable(r.Words[3]);
        if (!variable || !variable->Read(snapshot, false)) return Error(TNetError::VarNotSupported);
        query += " " + r.Words[3];
    }
    std::string out = "BEGIN LIST " + query + "\n";
    if (SameWord(sub, "VAR")) {
        const bool fsd = r.Context.ForcedShutdown();
        for (const TVariableDef& v : VariableTable())
            if (const std::optional<std::string> value = v.Read(snapshot, fsd))
                out += "VAR " + ups + " " + std::string(v.Name) + " " + QuoteValue(*value) + "\n";
    } else if (SameWord(sub, "CMD")) {
        for (const TInstantCommandDef& c : InstantCommandTable())
            out += "CMD " + ups + " " + std::string(c.Name) + "\n";
    } else if (SameWord(sub, "CLIENT")) {
        for (const std::string& address : r.Context.LoginAddresses())
            out += "CLIENT " + ups + " " + address + "\n";
    }
    return out + "END LIST " + query + "\n";
}

// ---- Commands that need the user's rights

std::string Login(TRequest& r) {
    if (r.Count() != 2) return Error(TNetError::InvalidArgument);
    if (r.Session.LoggedIn) return Error(TNetError::AlreadyLoggedIn);
    if (const auto e = RightsMissing(r)) return Error(*e);
    if (!r.KnownUps(r.Words[1])) return Error(TNetError::UnknownUps);
    r.Session.LoggedIn = true;
    r.Context.LoginChanged();
    r.Context.Events().Submit({TNetEvent::Kind::Login, r.Session.Who(), {}, 0, {}});
    return "OK\n";
}

std::string Primary(TRequest& r) {
    if (r.Count() != 2) return Error(TNetError::InvalidArgument);
    if (const auto e = RightsMissing(r)) return Error(*e);
    if (!r.KnownUps(r.Words[1])) return Error(TNetError::UnknownUps);
    r.Session.Primary = true;
    // Answered in the word the client used: older clients look for MASTER.
    return SameWord(r.Words[0], "MASTER") ? "OK MASTER-GRANTED\n" : "OK PRIMARY-GRANTED\n";
}

std::string ForcedShutdown(TRequest& r) {
    if (r.Count() != 2) return Error(TNetError::InvalidArgument);
    if (const auto e = RightsMissing(r)) return Error(*e);
    if (!r.KnownUps(r.Words[1])) return Error(TNetError::UnknownUps);
    if (!r.Context.ForcedShutdown()) {
        r.Context.SetForcedShutdown();
        r.Context.Events().Submit({TNetEvent::Kind::ForcedShutdown, r.Session.Who(), {}, 0, {}});
    }
    return "OK FSD-SET\n";
}

std::string InstantCommand(TRequest& r) {
    if (r.Count() != 3 && r.Count() != 4) return Error(TNetError::InvalidArgument);
    if (const auto e = RightsMissing(r)) return Error(*e);
    if (const auto e = UpsUnusable(r, r.Words[1], r.Context.Snapshot())) return Error(*e);
    const TInstantCommandDef* command = FindInstantCommand(r.Words[2]);
    if (!command) return Error(TNetError::CmdNotSupported);
    const std::optional<std::string> parameter =
        r.Count() == 4 ? std::optional<std::string>(r.Words[3]) : std::nullopt;
    const std::optional<std::string> argument = CommandArgument(*command, parameter);
    if (!argument) return Error(TNetError::InvalidArgument);
    std::string name(command->Name);
    if (command->Parameter == TCommandParameter::Minutes) name += " " + *argument;
    const TNetEvent event{TNetEvent::Kind::Command, r.Session.Who(), name, command->Command,
                          *argument};
    if (!r.Context.Events().Submit(event)) return Error(TNetError::InstcmdFailed);
    return "OK\n";
}

// Every variable here is the UPS's own reading: none can be set, and a client that tries
// is told so (upsrw then says the variable is read-only).
std::string Set(TRequest& r) {
    if (r.Count() != 5 || !SameWord(r.Words[1], "VAR")) return Error(TNetError::InvalidArgument);
    if (const auto e = RightsMissing(r)) return Error(*e);
    if (!r.KnownUps(r.Words[2])) return Error(TNetError::UnknownUps);
    if (!FindVariable(r.Words[3])) return Error(TNetError::VarNotSupported);
    return Error(TNetError::Readonly);
}

struct TRoute {
    std::string_view Word;
    std::string (*Handle)(TRequest&);
};

const TRoute Routes[] = {
    {"VER", Ver},           {"NETVER", NetVer},      {"HELP", Help},
    {"STARTTLS", StartTls}, {"USERNAME", Username},  {"PASSWORD", Password},
    {"GET", Get},           {"LIST", List},          {"SET", Set},
    {"LOGOUT", Logout},     {"LOGIN", Login},        {"PRIMARY", Primary},
    {"MASTER", Primary},    {"FSD", ForcedShutdown}, {"INSTCMD", InstantCommand},
};

} // namespace

std::string TClientSession::Who() const {
    std::string who;
    for (const char c : HasUser ? std::string_view(User).substr(0, MaxNutNameLength) : "?") {
        const auto u = static_cast<unsigned char>(c);
        who += u < ' ' || u >= 0x7F ? '?' : c;
    }
    return who + "@" + Address;
}

std::string HandleRequest(std::string_view line, TClientSession& session, IServerContext& context) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string> words;
    if (SplitRequest(line, words) != TSplitResult::Ok) return Error(TNetError::InvalidArgument);
    if (words.empty()) return {};
    TRequest request{words, session, context};
    for (const TRoute& route : Routes)
        if (SameWord(words[0], route.Word)) return route.Handle(request);
    return Error(TNetError::UnknownCommand);
}
