#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "monitor/netserver/net_server_core.h"

namespace {

class CoreTest : public ::testing::Test {
protected:
    CoreTest() {
        TNetSnapshot s;
        s.Stale = false;
        s.Status.OutputVoltage = 220.0f;
        exchange.Publish(s);
        exchange.SetWake([this] { ++wakes; });
    }

    // Sends what the client would, as far as the server takes it now.
    void Say(int slot, std::string_view bytes) {
        while (!bytes.empty()) {
            const std::size_t n = std::min(core.ReceiveRoom(slot), bytes.size());
            ASSERT_GT(n, 0u) << "the server takes nothing while its replies wait";
            core.Receive(slot, bytes.substr(0, n), now);
            bytes.remove_prefix(n);
        }
    }
    // Everything the server holds for the client, as if it was all sent.
    std::string Drain(int slot) {
        std::string all;
        for (std::string_view out = core.PendingOutput(slot); !out.empty();
             out = core.PendingOutput(slot)) {
            all += out;
            core.Sent(slot, out.size(), now);
        }
        return all;
    }
    std::vector<TNetEvent> Events() {
        std::vector<TNetEvent> out;
        TNetEvent e;
        while (exchange.TakeEvent(e))
            out.push_back(e);
        return out;
    }

    static TNetServerSettings WithPassword() {
        TNetServerSettings s;
        s.Password = "secret";
        return s;
    }
    TNetServerSettings settings = WithPassword();
    TNetExchange exchange;
    int wakes = 0;
    TNetServerCore core{settings, exchange};
    std::uint32_t now = 5000;
};

} // namespace

TEST_F(CoreTest, RequestsInPiecesAndTogetherAreAnsweredInOrder) {
    const int a = core.Accept("127.0.0.1", now);
    ASSERT_GE(a, 0);
    Say(a, "NET");
    EXPECT_EQ(Drain(a), "") << "half a line waits for the rest";
    Say(a, "VER\nGET VAR ups ups.status\r\nVER");
    EXPECT_EQ(Drain(a), "1.3\nVAR ups ups.status \"OL\"\n");
    Say(a, "\n");
    EXPECT_EQ(Drain(a).substr(0, 6), "Kovrin");
}

TEST_F(CoreTest, TheSixtyFifthClientIsRefusedAndTheOthersStay) {
    std::vector<int> slots;
    for (std::size_t i = 0; i < TNetServerCore::MaxClients; ++i)
        slots.push_back(core.Accept("10.0.0." + std::to_string(i), now));
    for (int s : slots)
        ASSERT_GE(s, 0);
    EXPECT_EQ(core.Accept("10.0.1.1", now), -1);
    EXPECT_EQ(TNetServerCore::RefusalLine.substr(0, 4), "ERR ");
    EXPECT_EQ(core.Clients(), TNetServerCore::MaxClients);
    for (int s : slots) {
        Say(s, "NETVER\n");
        EXPECT_EQ(Drain(s), "1.3\n");
    }
    core.Close(slots[10]);
    EXPECT_EQ(core.Accept("10.0.1.1", now), slots[10]) << "a freed place is used again";
}

TEST_F(CoreTest, OverlongLinesAndJunkCostNothingAndTheConnectionGoesOn) {
    const int a = core.Accept("127.0.0.1", now);
    // Exactly the longest request is answered.
    std::string longest = "GET VAR ups " + std::string(TNetServerCore::MaxLine - 12, 'x');
    ASSERT_EQ(longest.size(), TNetServerCore::MaxLine);
    Say(a, longest + "\n");
    EXPECT_EQ(Drain(a), "ERR VAR-NOT-SUPPORTED\n");
    // One byte more: one error, then the rest of that line is skipped however long it is.
    Say(a, longest + "y\n");
    EXPECT_EQ(Drain(a), "ERR INVALID-ARGUMENT\n");
    std::string junk;
    for (int i = 0; i < 100000; ++i)
        junk += static_cast<char>(i * 131 % 251 + 1 == '\n' ? 'z' : i * 131 % 251 + 1);
    Say(a, junk);
    EXPECT_EQ(Drain(a), "ERR INVALID-ARGUMENT\n") << "told once for the whole unended line";
    EXPECT_LE(core.ReceiveRoom(a), TNetServerCore::InputCapacity);
    Say(a, " still junk\nNETVER\n");
    EXPECT_EQ(Drain(a), "1.3\n");
    // Binary lines are requests like any other: each gets its error.
    Say(a, std::string("\x01\x02\xff\x00\x10\n\x7f\n", 8));
    EXPECT_EQ(Drain(a), "ERR UNKNOWN-COMMAND\nERR UNKNOWN-COMMAND\n");
}

TEST_F(CoreTest, AClientThatDoesNotReadGetsNoMoreAnswers) {
    const int a = core.Accept("127.0.0.1", now);
    const int b = core.Accept("127.0.0.2", now);
    // Requests faster than the client reads: answering stops at the output limit, and the
    // server stops taking bytes; nothing grows beyond the limits.
    const std::string request = "LIST VAR ups\n";
    std::size_t given = 0;
    while (core.ReceiveRoom(a) > 0 && given < 100000) {
        const std::size_t n =
            std::min(request.size() - given % request.size(), core.ReceiveRoom(a));
        core.Receive(a, std::string_view(request).substr(given % request.size(), n), now);
        given += n;
    }
    EXPECT_EQ(core.ReceiveRoom(a), 0u);
    const std::size_t held = core.PendingOutput(a).size();
    EXPECT_GE(held, TNetServerCore::OutputLimit);
    EXPECT_LT(held, TNetServerCore::OutputLimit + 4096);
    // The other client is served meanwhile.
    Say(b, "NETVER\n");
    EXPECT_EQ(Drain(b), "1.3\n");
    // As the slow client reads, the waiting requests are answered, every one of them.
    const std::string all = Drain(a);
    std::size_t lists = 0;
    for (std::size_t at = all.find("END LIST VAR ups\n"); at != std::string::npos;
         at = all.find("END LIST VAR ups\n", at + 1))
        ++lists;
    EXPECT_EQ(lists, given / request.size());
    EXPECT_GT(core.ReceiveRoom(a), 0u);
}

TEST_F(CoreTest, IdleClientsAreDroppedAfterFiveMinutesWithoutAWholeRequest) {
    const int quiet = core.Accept("10.0.0.1", now);
    const int polling = core.Accept("10.0.0.2", now);
    const int trickling = core.Accept("10.0.0.3", now);
    for (int minute = 1; minute <= 5; ++minute) {
        now += 60000;
        Say(polling, "GET VAR ups ups.status\n");
        Drain(polling);
        Say(trickling, "x"); // bytes, but never a whole line
        core.Tick(now);
        const bool due = minute == 5;
        EXPECT_EQ(core.WantsClose(quiet), due) << minute;
        EXPECT_EQ(core.WantsClose(trickling), due) << minute;
        EXPECT_FALSE(core.WantsClose(polling)) << "a client polling once a minute stays";
    }
}

TEST_F(CoreTest, LoginsAreCountedAndEndWithTheConnection) {
    const int a = core.Accept("10.0.0.1", now);
    const int b = core.Accept("10.0.0.2", now);
    for (int s : {a, b}) {
        Say(s, "USERNAME monuser\nPASSWORD secret\nLOGIN ups\n");
        EXPECT_EQ(Drain(s), "OK\nOK\nOK\n");
    }
    EXPECT_EQ(exchange.Logins(), 2);
    EXPECT_EQ(wakes, 1) << "one wake until the control loop drains the queue";
    Say(a, "GET NUMLOGINS ups\nLIST CLIENT ups\n");
    EXPECT_EQ(Drain(a), "NUMLOGINS ups 2\nBEGIN LIST CLIENT ups\nCLIENT ups 10.0.0.1\n"
                        "CLIENT ups 10.0.0.2\nEND LIST CLIENT ups\n");
    // A logout is answered, then the connection is to be closed; later bytes are dropped.
    Say(a, "LOGOUT\nNETVER\n");
    EXPECT_FALSE(core.WantsClose(a)) << "not before the goodbye is out";
    EXPECT_EQ(Drain(a), "OK Goodbye\n");
    EXPECT_TRUE(core.WantsClose(a));
    core.Close(a);
    // A client that just goes away logs out as well.
    core.Close(b);
    EXPECT_EQ(exchange.Logins(), 0);
    const std::vector<TNetEvent> events = Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[2].What, TNetEvent::Kind::Logout);
    EXPECT_EQ(events[2].Who, "monuser@10.0.0.1");
    EXPECT_EQ(events[3].What, TNetEvent::Kind::Logout);
    EXPECT_EQ(events[3].Who, "monuser@10.0.0.2");
    Say(core.Accept("10.0.0.3", now), "FSD ups\n");
    EXPECT_EQ(wakes, 1) << "nothing new to tell";
    EXPECT_FALSE(exchange.ForcedShutdown()) << "FSD needs the rights";
}

TEST(NetExchange, TheQueueIsBoundedAndWakesTheLoopOnceUntilDrained) {
    TNetExchange exchange;
    int wakes = 0;
    exchange.SetWake([&wakes] { ++wakes; });
    for (std::size_t i = 0; i < TNetExchange::QueueCapacity; ++i)
        EXPECT_TRUE(exchange.Submit({TNetEvent::Kind::Login, std::to_string(i), {}, 0, {}}));
    EXPECT_FALSE(exchange.Submit({TNetEvent::Kind::Login, "one too many", {}, 0, {}}));
    EXPECT_EQ(wakes, 1);
    TNetEvent e;
    for (std::size_t i = 0; i < TNetExchange::QueueCapacity; ++i) {
        ASSERT_TRUE(exchange.TakeEvent(e));
        EXPECT_EQ(e.Who, std::to_string(i));
    }
    EXPECT_FALSE(exchange.TakeEvent(e));
    EXPECT_TRUE(exchange.Submit({TNetEvent::Kind::Logout, "again", {}, 0, {}}));
    EXPECT_EQ(wakes, 2) << "drained: the next event wakes the loop again";
}
