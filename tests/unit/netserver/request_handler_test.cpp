#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/commands.h"
#include "monitor/netserver/request_handler.h"
#include "monitor/netserver/variables.h"

namespace {

// A UPS on mains as the driver leaves its records after a poll.
TNetSnapshot FreshSnapshot() {
    TNetSnapshot s;
    s.Stale = false;
    s.Status.InputVoltage = 219.0f;
    s.Status.InputFaultVoltage = 218.5f;
    s.Status.OutputVoltage = 220.0f;
    s.Status.BatteryVoltage = 13.6f;
    s.Status.InputFrequency = 50.0f;
    s.Status.Temperature = 25.0f;
    s.Status.Load = 25;
    s.Status.BatteryCharge = 100;
    s.Status.Flags = UPS_STANDBY | UPS_BEEPER;
    s.Info.Maker = "MEGATEC        ";
    s.Info.Model = "SIM-1000VA";
    s.Info.Version = "V2.4      ";
    s.Rating = {220.0f, 12.0f, 50.0f, 3};
    return s;
}

class RecordingContext final : public IServerContext, public INetEventSink {
public:
    TNetServerSettings settings;
    TNetSnapshot snapshot = FreshSnapshot();
    bool fsd = false;
    int logins = 0;
    std::vector<std::string> addresses;
    std::vector<TNetEvent> events;
    bool acceptEvents = true;
    int loginChanges = 0;

    RecordingContext() { settings.Password = "secret"; }
    const TNetServerSettings& Settings() const override { return settings; }
    TNetSnapshot Snapshot() const override { return snapshot; }
    bool ForcedShutdown() const override { return fsd; }
    void SetForcedShutdown() override { fsd = true; }
    int Logins() const override { return logins; }
    std::vector<std::string> LoginAddresses() const override { return addresses; }
    void LoginChanged() override { ++loginChanges; }
    INetEventSink& Events() override { return *this; }
    bool Submit(const TNetEvent& e) override {
        if (!acceptEvents) return false;
        events.push_back(e);
        return true;
    }
};

struct Client {
    RecordingContext& context;
    TClientSession session;
    explicit Client(RecordingContext& c, std::string address = "192.168.1.20") : context(c) {
        session.Address = std::move(address);
    }
    std::string operator()(std::string_view line) { return HandleRequest(line, session, context); }
    void Authenticate(std::string_view password = "secret") {
        ASSERT_EQ((*this)("USERNAME monuser"), "OK\n");
        ASSERT_EQ((*this)("PASSWORD " + std::string(password)), "OK\n");
    }
};

} // namespace

TEST(RequestHandler, InformationWithoutLogin) {
    RecordingContext ctx;
    Client c(ctx);
    EXPECT_EQ(c("NETVER"), "1.3\n");
    EXPECT_EQ(c("VER").substr(0, 7), "Kovrin ");
    EXPECT_NE(c("HELP").find("INSTCMD"), std::string::npos);
    EXPECT_EQ(c("STARTTLS"), "ERR FEATURE-NOT-CONFIGURED\n") << "clients go on in plain text";
    EXPECT_EQ(c("GET VAR ups ups.status"), "VAR ups ups.status \"OL\"\n");
    EXPECT_EQ(c("get var UPS Battery.Charge\r"), "VAR UPS Battery.Charge \"100\"\n")
        << "words and names in any case, echoed as written; a CR before the LF ignored";
    EXPECT_EQ(c("GET TYPE ups input.voltage"), "TYPE ups input.voltage NUMBER\n");
    EXPECT_EQ(c("GET TYPE ups device.mfr"), "TYPE ups device.mfr STRING:15\n");
    EXPECT_EQ(c("GET DESC ups ups.load"), "DESC ups ups.load \"Load on UPS (percent of full)\"\n");
    EXPECT_EQ(c("GET CMDDESC ups load.on"),
              "CMDDESC ups load.on \"Turn on the load immediately\"\n");
    EXPECT_EQ(c("GET UPSDESC ups"), "UPSDESC ups \"MEGATEC SIM-1000VA\"\n");
    ctx.logins = 2;
    EXPECT_EQ(c("GET NUMLOGINS ups"), "NUMLOGINS ups 2\n");
    EXPECT_EQ(c("LIST UPS"), "BEGIN LIST UPS\nUPS ups \"MEGATEC SIM-1000VA\"\nEND LIST UPS\n");
    EXPECT_EQ(c("LIST RW ups"), "BEGIN LIST RW ups\nEND LIST RW ups\n");
    EXPECT_EQ(c("LIST ENUM ups ups.status"),
              "BEGIN LIST ENUM ups ups.status\nEND LIST ENUM ups ups.status\n");
    EXPECT_EQ(c("LIST RANGE ups input.voltage"),
              "BEGIN LIST RANGE ups input.voltage\nEND LIST RANGE ups input.voltage\n");
    ctx.addresses = {"192.168.1.20", "10.0.0.7"};
    EXPECT_EQ(c("LIST CLIENT ups"), "BEGIN LIST CLIENT ups\nCLIENT ups 192.168.1.20\n"
                                    "CLIENT ups 10.0.0.7\nEND LIST CLIENT ups\n");
    EXPECT_EQ(c("LOGOUT"), "OK Goodbye\n");
    EXPECT_TRUE(c.session.Leaving);
    EXPECT_TRUE(ctx.events.empty()) << "a logout without login is no event";
}

TEST(RequestHandler, EveryVariableFromTheRecords) {
    RecordingContext ctx;
    Client c(ctx);
    const std::string list = c("LIST VAR ups");
    EXPECT_EQ(list, "BEGIN LIST VAR ups\n"
                    "VAR ups battery.charge \"100\"\n"
                    "VAR ups battery.voltage \"13.60\"\n"
                    "VAR ups battery.voltage.nominal \"12.0\"\n"
                    "VAR ups device.mfr \"MEGATEC\"\n"
                    "VAR ups device.model \"SIM-1000VA\"\n"
                    "VAR ups device.type \"ups\"\n"
                    "VAR ups input.current.nominal \"3\"\n"
                    "VAR ups input.frequency \"50.0\"\n"
                    "VAR ups input.frequency.nominal \"50.0\"\n"
                    "VAR ups input.voltage \"219.0\"\n"
                    "VAR ups input.voltage.fault \"218.5\"\n"
                    "VAR ups input.voltage.nominal \"220.0\"\n"
                    "VAR ups output.voltage \"220.0\"\n"
                    "VAR ups ups.beeper.status \"enabled\"\n"
                    "VAR ups ups.firmware \"V2.4\"\n"
                    "VAR ups ups.load \"25\"\n"
                    "VAR ups ups.mfr \"MEGATEC\"\n"
                    "VAR ups ups.model \"SIM-1000VA\"\n"
                    "VAR ups ups.status \"OL\"\n"
                    "VAR ups ups.temperature \"25.0\"\n"
                    "END LIST VAR ups\n");
    // Values the UPS did not give are left out, not sent as numbers it never said.
    ctx.snapshot.Status.Load = 255;
    ctx.snapshot.Status.Temperature = -1.0f;
    ctx.snapshot.Rating = {};
    ctx.snapshot.Status.Flags = 0;
    const std::string partial = c("LIST VAR ups");
    for (const char* gone : {"ups.load", "ups.temperature", "nominal"})
        EXPECT_EQ(partial.find(gone), std::string::npos) << gone;
    EXPECT_NE(partial.find("ups.beeper.status \"disabled\""), std::string::npos);
    EXPECT_EQ(c("GET VAR ups ups.load"), "ERR VAR-NOT-SUPPORTED\n");
    EXPECT_EQ(c("GET TYPE ups ups.temperature"), "ERR VAR-NOT-SUPPORTED\n");
    EXPECT_EQ(c("GET VAR ups ups.nothing"), "ERR VAR-NOT-SUPPORTED\n");
    EXPECT_EQ(c("LIST ENUM ups ups.nothing"), "ERR VAR-NOT-SUPPORTED\n");
    EXPECT_EQ(c("GET CMDDESC ups cmd.nothing"), "ERR CMD-NOT-SUPPORTED\n");
    // Quotes and backslashes in the UPS's texts are escaped.
    ctx.snapshot.Info.Model = "A\"B\\C";
    EXPECT_EQ(c("GET VAR ups device.model"), "VAR ups device.model \"A\\\"B\\\\C\"\n");
}

TEST(RequestHandler, StatusWords) {
    TUpsStatus s{};
    s.OutputVoltage = 220.0f;
    s.Flags = UPS_ONBATTERY | UPS_BATTLOW;
    EXPECT_EQ(StatusWords(s, false), "OB LB");
    EXPECT_EQ(StatusWords(s, true), "FSD OB LB");
    s.Flags = UPS_TEST | UPS_BOOST | UPS_REGULATING;
    EXPECT_EQ(StatusWords(s, false), "OL CAL BOOST");
    s.Flags = UPS_BUCK | UPS_REGULATING | UPS_FAILED | UPS_SHUTDOWN;
    EXPECT_EQ(StatusWords(s, false), "OL TRIM") << "no invented words for the UPS's other bits";
    s.OutputVoltage = 0.0f;
    EXPECT_EQ(StatusWords(s, false), "OL TRIM OFF") << "the output switched off";
    s.OutputVoltage = -1.0f;
    s.Flags = 0;
    EXPECT_EQ(StatusWords(s, false), "OL") << "no output reading is no proof of off";
}

TEST(RequestHandler, StaleDataAndUnknownUps) {
    RecordingContext ctx;
    Client c(ctx);
    ctx.snapshot.Stale = true;
    for (const char* request :
         {"GET VAR ups ups.status", "GET TYPE ups ups.status", "GET DESC ups ups.status",
          "GET CMDDESC ups load.on", "GET UPSDESC ups", "GET NUMLOGINS ups", "LIST VAR ups",
          "LIST RW ups", "LIST CMD ups", "LIST CLIENT ups", "LIST ENUM ups ups.status",
          "LIST RANGE ups ups.status"})
        EXPECT_EQ(c(request), "ERR DATA-STALE\n") << request;
    EXPECT_EQ(c("LIST UPS").substr(0, 15), "BEGIN LIST UPS\n") << "the list of UPSes still answers";
    EXPECT_EQ(c("GET VAR other ups.status"), "ERR UNKNOWN-UPS\n");
    EXPECT_EQ(c("LIST VAR other"), "ERR UNKNOWN-UPS\n");
    c.Authenticate();
    EXPECT_EQ(c("INSTCMD ups beeper.toggle"), "ERR DATA-STALE\n");
    EXPECT_EQ(c("LOGIN ups"), "OK\n") << "a client may log in and wait for the data";
    EXPECT_EQ(c("NOSUCH"), "ERR UNKNOWN-COMMAND\n");
    EXPECT_EQ(c("GET"), "ERR INVALID-ARGUMENT\n");
    EXPECT_EQ(c("GET VAR ups"), "ERR INVALID-ARGUMENT\n");
    EXPECT_EQ(c("GET NOTHING ups x"), "ERR INVALID-ARGUMENT\n");
    EXPECT_EQ(c("LIST VAR"), "ERR INVALID-ARGUMENT\n");
    EXPECT_EQ(c("LIST UPS extra"), "ERR INVALID-ARGUMENT\n");
    EXPECT_EQ(c("USERNAME \"unclosed"), "ERR INVALID-ARGUMENT\n");
    EXPECT_EQ(c("  "), "") << "a blank line is no request";
}

TEST(RequestHandler, CredentialsAndLogin) {
    RecordingContext ctx;
    Client anonymous(ctx);
    EXPECT_EQ(anonymous("LOGIN ups"), "ERR USERNAME-REQUIRED\n");
    EXPECT_EQ(anonymous("INSTCMD ups load.on"), "ERR USERNAME-REQUIRED\n");
    EXPECT_EQ(anonymous("USERNAME monuser"), "OK\n");
    EXPECT_EQ(anonymous("USERNAME other"), "ERR ALREADY-SET-USERNAME\n");
    EXPECT_EQ(anonymous("FSD ups"), "ERR PASSWORD-REQUIRED\n");
    EXPECT_EQ(anonymous("PASSWORD wrong"), "OK\n") << "checked when used, as upsd does";
    EXPECT_EQ(anonymous("PASSWORD secret"), "ERR ALREADY-SET-PASSWORD\n");
    for (const char* request : {"LOGIN ups", "PRIMARY ups", "MASTER ups", "FSD ups",
                                "INSTCMD ups test.battery.start.quick"})
        EXPECT_EQ(anonymous(request), "ERR ACCESS-DENIED\n") << request;
    EXPECT_FALSE(ctx.fsd);
    EXPECT_TRUE(ctx.events.empty());

    Client wrongUser(ctx);
    wrongUser("USERNAME admin");
    wrongUser("PASSWORD secret");
    EXPECT_EQ(wrongUser("LOGIN ups"), "ERR ACCESS-DENIED\n");

    Client client(ctx, "10.0.0.7");
    client.Authenticate();
    EXPECT_EQ(client("LOGIN other"), "ERR UNKNOWN-UPS\n");
    EXPECT_EQ(client("LOGIN Ups"), "OK\n");
    EXPECT_TRUE(client.session.LoggedIn);
    EXPECT_EQ(ctx.loginChanges, 1);
    EXPECT_EQ(client("LOGIN ups"), "ERR ALREADY-LOGGED-IN\n");
    EXPECT_EQ(client("PRIMARY ups"), "OK PRIMARY-GRANTED\n");
    EXPECT_EQ(client("MASTER ups"), "OK MASTER-GRANTED\n") << "older clients look for MASTER";
    EXPECT_TRUE(client.session.Primary);
    EXPECT_EQ(client("LOGOUT"), "OK Goodbye\n");
    EXPECT_FALSE(client.session.LoggedIn);
    EXPECT_EQ(ctx.loginChanges, 2);
    ASSERT_EQ(ctx.events.size(), 2u);
    EXPECT_EQ(ctx.events[0].What, TNetEvent::Kind::Login);
    EXPECT_EQ(ctx.events[0].Who, "monuser@10.0.0.7");
    EXPECT_EQ(ctx.events[1].What, TNetEvent::Kind::Logout);

    // Nothing can be set; a client with the rights is told why.
    EXPECT_EQ(wrongUser("SET VAR ups ups.status OB"), "ERR ACCESS-DENIED\n");
    Client setter(ctx);
    setter.Authenticate();
    EXPECT_EQ(setter("SET VAR ups ups.status OB"), "ERR READONLY\n");
    EXPECT_EQ(setter("SET VAR ups ups.nothing 1"), "ERR VAR-NOT-SUPPORTED\n");
    EXPECT_EQ(setter("SET VAR other ups.status OB"), "ERR UNKNOWN-UPS\n");
    EXPECT_EQ(setter("SET TRACKING ON"), "ERR INVALID-ARGUMENT\n");

    // Without a configured password nobody gets the rights, whatever is sent.
    ctx.settings.Password.clear();
    Client empty(ctx);
    empty("USERNAME monuser");
    empty("PASSWORD \"\"");
    EXPECT_EQ(empty("LOGIN ups"), "ERR ACCESS-DENIED\n");
    EXPECT_EQ(empty("GET VAR ups ups.status"), "VAR ups ups.status \"OL\"\n") << "reading works";
}

TEST(RequestHandler, ForcedShutdownIsSetOnceAndShownInTheStatus) {
    RecordingContext ctx;
    Client c(ctx);
    c.Authenticate();
    EXPECT_EQ(c("FSD other"), "ERR UNKNOWN-UPS\n");
    EXPECT_EQ(c("FSD ups"), "OK FSD-SET\n");
    EXPECT_TRUE(ctx.fsd);
    EXPECT_EQ(c("FSD ups"), "OK FSD-SET\n");
    ASSERT_EQ(ctx.events.size(), 1u) << "journalled once, when it was set";
    EXPECT_EQ(ctx.events[0].What, TNetEvent::Kind::ForcedShutdown);
    EXPECT_EQ(ctx.events[0].Who, "monuser@192.168.1.20");
    EXPECT_EQ(c("GET VAR ups ups.status"), "VAR ups ups.status \"FSD OL\"\n");
    EXPECT_NE(c("LIST VAR ups").find("ups.status \"FSD OL\""), std::string::npos);
}

TEST(RequestHandler, InstantCommandsBecomeTheMonitorsCommands) {
    RecordingContext ctx;
    Client c(ctx);
    c.Authenticate();
    struct Case {
        const char* Request;
        std::uint8_t Command;
        const char* Argument;
    };
    const Case cases[] = {
        {"INSTCMD ups beeper.toggle", CMD_BEEPTOGGLE, ""},
        {"INSTCMD ups beeper.enable", CMD_BEEPON, ""},
        {"INSTCMD ups beeper.disable", CMD_BEEPOFF, ""},
        {"INSTCMD ups test.battery.start.quick", CMD_TEST, ""},
        {"INSTCMD ups test.battery.start.deep", CMD_TESTLOW, ""},
        {"INSTCMD ups test.battery.start 5", CMD_TESTMINUTES, "05"},
        {"INSTCMD ups test.battery.start 99", CMD_TESTMINUTES, "99"},
        {"INSTCMD ups test.battery.stop", CMD_CANCELTEST, ""},
        {"INSTCMD ups shutdown.return", CMD_SHUTDOWNRESTORE, ".2 0001"},
        {"INSTCMD ups shutdown.stayoff", CMD_SHUTDOWNRESTORE, ".2 0000"},
        {"INSTCMD ups shutdown.stop", CMD_CANCELSHUTDOWN, ""},
        {"INSTCMD ups load.off", CMD_SHUTDOWNRESTORE, "00 0000"},
        {"INSTCMD ups load.on", CMD_CANCELSHUTDOWN, ""},
        {"INSTCMD UPS Load.On ignored", CMD_CANCELSHUTDOWN, ""},
    };
    for (const Case& k : cases) {
        ctx.events.clear();
        EXPECT_EQ(c(k.Request), "OK\n") << k.Request;
        ASSERT_EQ(ctx.events.size(), 1u) << k.Request;
        EXPECT_EQ(ctx.events[0].What, TNetEvent::Kind::Command);
        EXPECT_EQ(ctx.events[0].Command, k.Command) << k.Request;
        EXPECT_EQ(ctx.events[0].Argument, k.Argument) << k.Request;
        EXPECT_EQ(ctx.events[0].Who, "monuser@192.168.1.20");
    }
    ctx.events.clear();
    for (const char* bad :
         {"INSTCMD ups test.battery.start", "INSTCMD ups test.battery.start 0",
          "INSTCMD ups test.battery.start 100", "INSTCMD ups test.battery.start x"})
        EXPECT_EQ(c(bad), "ERR INVALID-ARGUMENT\n") << bad;
    EXPECT_EQ(c("INSTCMD ups self.destruct"), "ERR CMD-NOT-SUPPORTED\n");
    EXPECT_EQ(c("INSTCMD other load.on"), "ERR UNKNOWN-UPS\n");
    EXPECT_EQ(c("INSTCMD ups"), "ERR INVALID-ARGUMENT\n");
    EXPECT_TRUE(ctx.events.empty());
    // The control loop has fallen behind: the command is refused, not lost silently.
    ctx.acceptEvents = false;
    EXPECT_EQ(c("INSTCMD ups load.on"), "ERR INSTCMD-FAILED\n");

    // Every listed command is one the server takes.
    ctx.acceptEvents = true;
    const std::string list = c("LIST CMD ups");
    std::size_t listed = 0;
    for (std::size_t at = list.find("\nCMD ups "); at != std::string::npos;
         at = list.find("\nCMD ups ", at + 1)) {
        const std::size_t from = at + 9;
        const std::string name = list.substr(from, list.find('\n', from) - from);
        const std::string reply = c("INSTCMD ups " + name + " 10");
        EXPECT_EQ(reply, "OK\n") << name;
        ++listed;
    }
    EXPECT_EQ(listed, 12u);
}
