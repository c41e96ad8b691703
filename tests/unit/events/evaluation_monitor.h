#pragma once
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/commands.h"
#include "common/events.h"
#include "common/messages.h"
#include "monitor/link/megatec_mon.h"
#include "support/fake_platform.h"

// The monitor with its state in reach; status polls are answered from a script (flags,
// battery volts, input volts; none = a failed poll that scribbles over the record first).
class EvalMonitor : public TMegaTecMon {
public:
    struct Reading {
        std::uint16_t flags;
        float battery = 13.0f, input = 220.0f;
    };
    static constexpr WindowHandle DialogWindow = 0x2000;
    using TCOMMon::portName_;
    using TKovrin::dialogWindow_, TKovrin::maxBattVoltage_, TKovrin::minBattVoltage_,
        TKovrin::opened_, TKovrin::rating_, TKovrin::rules_, TKovrin::status_, TKovrin::suspended_,
        TKovrin::transitions_;
    using TMegaTecMon::TMegaTecMon;

    bool scripted = true;
    std::deque<std::optional<Reading>> polls;

    bool PerformCommand(std::uint8_t number, const char* argument, void* output,
                        std::size_t size) override {
        if (!scripted) return TMegaTecMon::PerformCommand(number, argument, output, size);
        if (number != CMD_STATUS || polls.empty()) return false;
        const auto r = polls.front();
        polls.pop_front();
        TUpsStatus s;
        std::memcpy(&s, output, sizeof s);
        s.InputVoltage = r ? r->input : -1;
        s.BatteryVoltage = r ? r->battery : -1;
        s.Flags = r ? r->flags : 0xFFFF;
        std::memcpy(output, &s, sizeof s);
        return r.has_value();
    }
    void AddRule(std::uint8_t source, std::string_view text, std::string_view expression = {}) {
        TEventRule r{};
        r.Source = source;
        r.Action = ACT_JOURNALMESSAGE;
        r.Parameter = text;
        r.Expression = expression;
        rules_.Add(r);
    }
};

inline std::vector<std::string> SentToDialog(const FakeQueue& queue, std::uint8_t code) {
    std::vector<std::string> out;
    for (const FakeQueue::Sent& s : queue.sent)
        if (s.to == EvalMonitor::DialogWindow && s.msg == UM_TODIALOG && s.wParam == code)
            out.push_back(s.payload);
    return out;
}

inline TJournalRecord JournalAt(const std::string& bytes, std::size_t index) {
    TJournalRecord r;
    std::memcpy(&r, bytes.data() + index * sizeof r, sizeof r);
    return r;
}

// "kind:text" of every whole record in the bytes of a journal file.
inline std::vector<std::string> JournalEntries(const std::string& bytes) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < bytes.size() / sizeof(TJournalRecord); ++i) {
        const TJournalRecord r = JournalAt(bytes, i);
        out.push_back(std::to_string(r.Kind) + ":" + r.Text.Str());
    }
    return out;
}
