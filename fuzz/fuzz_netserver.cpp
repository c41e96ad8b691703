// The network UPS server's connections, requests and replies: several clients sending any
// bytes in any pieces, reading their replies slowly or not at all, going away, idling, while
// the snapshot holds any record bytes.
//
// Input: byte 0 = settings and start (bit 0 stale data, bit 1 FSD already set, bit 2 a
// password "secret" configured, bit 3 the UPS named "Nas.1"); then 44 status, 38
// information and 16 rating bytes for the snapshot; then operations until the input ends,
// each an operation byte (bits 0-2 the kind, bits 3-7 a client 0-31) and its operands:
//   0 connect                    4 time passes: one byte, in units of 10 s
//   1 send: length byte, bytes   5 the control loop takes the events
//   2 read: one byte, * 64 bytes 6 the snapshot turns stale or fresh
//   3 the client goes away       7 a canned request (one byte picks it): the seeds' words
// A send's length byte of 0xF0 or more floods instead: (length - 0xEF) * 100 copies of the
// one byte that follows, so that short inputs reach the limits of lines and buffers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/commands.h"
#include "fuzz_support.h"
#include "monitor/link/megatec_parse.h"
#include "monitor/netserver/net_server_core.h"
#include "monitor/netserver/request_words.h"

namespace {

constexpr int MaxFuzzClients = 32;

// Requests that reach deep quickly; random bytes rarely spell them.
const char* const Canned[] = {
    "USERNAME monuser\n",
    "PASSWORD secret\n",
    "LOGIN ups\n",
    "LOGIN Nas.1\n",
    "LOGOUT\n",
    "PRIMARY ups\n",
    "FSD ups\n",
    "LIST VAR ups\n",
    "LIST CMD ups\n",
    "LIST CLIENT ups\n",
    "GET VAR ups ups.status\n",
    "GET NUMLOGINS ups\n",
    "INSTCMD ups test.battery.start 7\n",
    "INSTCMD ups load.off\n",
    "INSTCMD ups beeper.toggle\n",
    "GET TYPE ups device.mfr\n",
    "LIST ENUM ups ups.status\n",
    "GET UPSDESC ups\n",
    "SET VAR ups ups.status OB\n",
    "STARTTLS\n",
    "INSTCMD Nas.1 shutdown.return\n",
};

const char* const ReplyStarts[] = {
    "OK",          "ERR ",      "VAR ", "TYPE ", "DESC ",   "CMDDESC ", "UPSDESC ", "NUMLOGINS ",
    "BEGIN LIST ", "END LIST ", "UPS ", "CMD ",  "CLIENT ", "1.3",      "Kovrin ",  "Commands: "};

const char* const ErrorNames[] = {
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

bool StartsWith(std::string_view s, std::string_view p) {
    return s.substr(0, p.size()) == p;
}

// One reply line: a form the protocol knows, printable, of a sane length.
void CheckLine(std::string_view line) {
    FUZZ_CHECK(line.size() <= 400);
    for (const char c : line)
        FUZZ_CHECK(static_cast<unsigned char>(c) >= ' ' || c < 0);
    bool known = false;
    for (const char* start : ReplyStarts)
        known = known || StartsWith(line, start);
    FUZZ_CHECK(known);
    if (StartsWith(line, "ERR ")) {
        bool named = false;
        for (const char* name : ErrorNames)
            named = named || line.substr(4) == name;
        FUZZ_CHECK(named);
    }
}

struct Reading {
    std::string partial; // a reply line not yet complete
    std::size_t fsdSet = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const std::uint8_t setup = in.Byte();
    TNetServerSettings settings;
    if (setup & 4) settings.Password = "secret";
    if (setup & 8) settings.UpsName = "Nas.1";
    TNetSnapshot snapshot;
    snapshot.Stale = (setup & 1) != 0;
    const std::string records =
        in.Bytes(sizeof snapshot.Status + sizeof snapshot.Info + sizeof snapshot.Rating);
    std::memcpy(&snapshot.Status, records.data(), std::min(records.size(), sizeof snapshot.Status));
    if (records.size() > sizeof snapshot.Status)
        std::memcpy(&snapshot.Info, records.data() + sizeof snapshot.Status,
                    std::min(records.size() - sizeof snapshot.Status, sizeof snapshot.Info));
    const std::size_t ratingAt = sizeof snapshot.Status + sizeof snapshot.Info;
    if (records.size() > ratingAt)
        std::memcpy(&snapshot.Rating, records.data() + ratingAt,
                    std::min(records.size() - ratingAt, sizeof snapshot.Rating));

    TNetExchange exchange;
    exchange.Publish(snapshot);
    exchange.SetForcedShutdown((setup & 2) != 0);
    const bool fsdAtStart = (setup & 2) != 0;
    TNetServerCore core(settings, exchange);

    int slots[MaxFuzzClients];
    for (int& s : slots)
        s = -1;
    Reading reading[TNetServerCore::MaxClients];
    std::uint32_t now = 1000;
    bool fsdAnswered = false;

    const auto consume = [&](int slot, std::size_t count) {
        const std::string_view out = core.PendingOutput(slot);
        FUZZ_CHECK(out.size() <= TNetServerCore::OutputLimit + 4096);
        const std::string_view sent = out.substr(0, count);
        Reading& r = reading[slot];
        r.partial += sent;
        for (std::size_t lf = r.partial.find('\n'); lf != std::string::npos;
             lf = r.partial.find('\n')) {
            const std::string line = r.partial.substr(0, lf);
            CheckLine(line);
            fsdAnswered = fsdAnswered || line == "OK FSD-SET";
            r.partial.erase(0, lf + 1);
        }
        FUZZ_CHECK(r.partial.size() <= 400);
        core.Sent(slot, sent.size(), now);
    };
    const auto takeEvents = [&] {
        TNetEvent e;
        while (exchange.TakeEvent(e)) {
            // Without a password nobody has the rights: no login, FSD or command at all.
            FUZZ_CHECK(!settings.Password.empty());
            switch (e.What) {
            case TNetEvent::Kind::Login:
            case TNetEvent::Kind::Logout:
            case TNetEvent::Kind::ForcedShutdown:
                FUZZ_CHECK(e.Who.find('@') != std::string::npos);
                break;
            case TNetEvent::Kind::Command: {
                // Only commands the driver can send, with arguments it lays out.
                FUZZ_CHECK(e.Command < CommandCount);
                const std::uint8_t sent = e.Command == CMD_BEEPON || e.Command == CMD_BEEPOFF
                                              ? CMD_BEEPTOGGLE
                                              : e.Command;
                const auto text = BuildCommandText(sent, e.Argument.c_str());
                FUZZ_CHECK(text.has_value() && text->size() <= 10);
                FUZZ_CHECK(e.Who.find('@') != std::string::npos);
                break;
            }
            }
        }
    };

    while (in.Left() > 0) {
        const std::uint8_t op = in.Byte();
        const int client = op >> 3;
        int& slot = slots[client];
        switch (op & 7) {
        case 0:
            if (slot < 0) {
                slot = core.Accept("192.168.1." + std::to_string(client), now);
                if (slot >= 0) reading[slot] = Reading{};
            }
            break;
        case 1:
        case 7: {
            std::string bytes;
            const std::uint8_t length = (op & 7) == 1 ? in.Byte() : 0;
            if ((op & 7) == 1 && length >= 0xF0)
                bytes.assign((length - 0xEFu) * 100u, static_cast<char>(in.Byte()));
            else if ((op & 7) == 1)
                bytes = in.Bytes(length);
            else
                bytes = Canned[in.Byte() % (sizeof Canned / sizeof Canned[0])];
            if (slot < 0) break;
            // The words of every request split and quote back to themselves.
            std::vector<std::string> words;
            if (SplitRequest(bytes, words) == TSplitResult::Ok)
                for (const std::string& w : words) {
                    std::vector<std::string> again;
                    FUZZ_CHECK(SplitRequest(QuoteValue(w), again) == TSplitResult::Ok);
                    FUZZ_CHECK(again.size() == 1 && again[0].size() == w.size());
                }
            const std::size_t room = core.ReceiveRoom(slot);
            FUZZ_CHECK(room <= TNetServerCore::InputCapacity);
            core.Receive(slot, std::string_view(bytes).substr(0, room), now);
            break;
        }
        case 2:
            if (slot >= 0) consume(slot, static_cast<std::size_t>(in.Byte()) * 64);
            break;
        case 3:
            if (slot >= 0) {
                consume(slot, core.PendingOutput(slot).size());
                core.Close(slot);
                slot = -1;
            }
            break;
        case 4:
            now += static_cast<std::uint32_t>(in.Byte()) * 10000;
            core.Tick(now);
            for (int& s : slots)
                if (s >= 0 && core.WantsClose(s)) {
                    consume(s, core.PendingOutput(s).size());
                    core.Close(s);
                    s = -1;
                }
            break;
        case 5:
            takeEvents();
            break;
        case 6:
            snapshot.Stale = !snapshot.Stale;
            exchange.Publish(snapshot);
            break;
        }
        FUZZ_CHECK(exchange.Logins() >= 0);
    }
    FUZZ_CHECK(exchange.Logins() <= static_cast<int>(core.Clients()));
    for (int& s : slots)
        if (s >= 0) {
            consume(s, core.PendingOutput(s).size());
            core.Close(s);
        }
    takeEvents();
    // Every login ended with its connection.
    FUZZ_CHECK(exchange.Logins() == 0);
    // FSD is never set but by a client's FSD request that was granted.
    FUZZ_CHECK(!exchange.ForcedShutdown() || fsdAtStart || fsdAnswered);
    return 0;
}
