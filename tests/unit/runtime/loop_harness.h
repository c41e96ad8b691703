#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/commands.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/records.h"
#include "monitor/app/mon_app.h"
#include "support/fake_platform.h"

// A UPS behind the fake port, answering by command like a real one.
struct FakeUps {
    bool silent = false;
    bool onBattery = false;
    bool beeper = true;
    float input = 220.0f, battery = 13.6f;
    std::string ratedBattery = "12.00";
    std::vector<std::string> received;

    std::string StatusLine() const {
        const std::string in = onBattery ? "000.0" : FormatFixed(input, 1);
        // Appended piece by piece: mingw g++ 12 warns falsely on "literal" + string.
        std::string line = "(";
        for (const std::string& field :
             {Pad(in, 5), Pad(in, 5), std::string("220.0"), std::string("025"), std::string("50.0"),
              Pad(FormatFixed(battery, 1), 4), std::string("25.0")}) {
            line += field;
            line += ' ';
        }
        line += onBattery ? '1' : '0'; // b7
        line += "000";                 // battery low, regulating, failed
        line += "1";                   // b3 standby type
        line += "00";                  // test, shutdown
        line += beeper ? '1' : '0';    // b0
        return line + "\r";
    }
    std::string Answer(const std::string& command) {
        received.push_back(command);
        if (silent) return "";
        if (command == "Q1\r") return StatusLine();
        if (command == "F\r") {
            std::string rating = "#220.0 003 ";
            rating += ratedBattery;
            rating += " 50.0\r";
            return rating;
        }
        if (command == "I\r") return "#SIMULATED CO.   UPSSIM-600 1.0.0     \r";
        return "";
    }
    int Count(const std::string& command) const {
        int n = 0;
        for (const auto& c : received)
            n += c == command;
        return n;
    }
    static std::string Pad(std::string s, std::size_t width) {
        while (s.size() < width)
            s.insert(s.begin(), '0');
        return s;
    }
};

// Runs the monitor's control loop in simulated time: the fake clock moves with every
// sleep of the loop and the driver, timer 1 ticks at its period, and a script acts at
// given times (ms since the loop started). While the loop waits for a message, time
// jumps to the next thing that happens, within the wait's limit.
class LoopHarness {
public:
    FakePlatform fp;
    FakeUps ups;
    std::unique_ptr<TMonApp> app;
    std::uint32_t limitMs = 600000; // a safety net: the loop is closed after this

    LoopHarness() {
        fp.port.responder = [this](const std::string& w) {
            if (w == "Q1\r") pollTimes.push_back(Elapsed());
            return ups.Answer(w);
        };
    }
    void Ini(const std::string& text) { fp.dir.Write("Kovrin.ini", text); }
    void At(std::uint32_t ms, std::function<void()> action) {
        script_.push_back({ms, std::move(action), false});
    }
    void Post(std::uint32_t ms, std::uint32_t msg, std::uintptr_t w = 0, std::intptr_t l = 0) {
        At(ms, [this, msg, w, l] { fp.queue.PostSelf(msg, w, l); });
    }
    void CloseAt(std::uint32_t ms) { Post(ms, SYS_CLOSE); }

    void Run() {
        if (!app) app = std::make_unique<TMonApp>(fp.platform);
        start_ = fp.clock.tick;
        startTime = fp.clock.now;
        fp.queue.onIdle = [this](FakeQueue& q) { Idle(q); };
        fp.queue.onWait = [this](FakeQueue& q, std::uint32_t timeoutMs) {
            return Wait(q, timeoutMs);
        };
        app->Run();
    }
    std::uint32_t Elapsed() const { return fp.clock.tick - start_; }

    std::vector<TJournalRecord> Journal() const {
        const std::string bytes = fp.dir.Read("Kovrin.lgb");
        std::vector<TJournalRecord> out(bytes.size() / sizeof(TJournalRecord));
        if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof out[0]);
        return out;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& r : Journal())
            out.push_back(r.Text.Str());
        return out;
    }
    int CountText(const std::string& text) const {
        int n = 0;
        for (const auto& t : Texts())
            n += t == text;
        return n;
    }
    std::vector<TStatRecord> Stats() const {
        const std::string bytes = fp.dir.Read("Stat.ups");
        std::vector<TStatRecord> out(bytes.size() / sizeof(TStatRecord));
        if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof out[0]);
        return out;
    }
    // Milliseconds since the loop started of a date-time the monitor wrote.
    double MsOf(double dateTime) const { return (dateTime - startTime) * 86400000.0; }
    double startTime = 0;
    // Times (ms since start) at which the status command was sent.
    std::vector<std::uint32_t> pollTimes;

private:
    struct Step {
        std::uint32_t at;
        std::function<void()> action;
        bool done;
    };
    // Timer 1 at its current period, restarted whenever it is started again.
    void FollowTimer(FakeQueue& q, std::uint32_t now) {
        if (q.timerStarts.size() == seenStarts_) return;
        seenStarts_ = q.timerStarts.size();
        nextTimer_ = now + q.timerStarts.back();
    }
    bool Wait(FakeQueue& q, std::uint32_t timeoutMs) {
        const std::uint32_t now = Elapsed();
        FollowTimer(q, now);
        std::uint64_t next = static_cast<std::uint64_t>(now) + timeoutMs;
        for (const auto& s : script_)
            if (!s.done) next = std::min<std::uint64_t>(next, s.at);
        if (q.timers.count(PollTimerId)) next = std::min<std::uint64_t>(next, nextTimer_);
        if (!closed_) next = std::min<std::uint64_t>(next, limitMs + 1);
        if (next > now) fp.clock.Advance(static_cast<std::uint32_t>(next - now));
        Idle(q);
        return !q.queue.empty();
    }
    void Idle(FakeQueue& q) {
        const std::uint32_t now = Elapsed();
        for (auto& s : script_)
            if (!s.done && now >= s.at) {
                s.done = true;
                s.action();
            }
        FollowTimer(q, now);
        auto t = q.timers.find(PollTimerId);
        if (t != q.timers.end() && now >= nextTimer_) {
            nextTimer_ = now + t->second;
            q.PostSelf(SYS_TIMER, PollTimerId);
        }
        if (now > limitMs && !closed_) {
            closed_ = true;
            q.PostSelf(SYS_CLOSE);
        }
    }
    std::vector<Step> script_;
    std::uint32_t start_ = 0;
    std::size_t seenStarts_ = 0;
    std::uint32_t nextTimer_ = 0;
    bool closed_ = false;
};
