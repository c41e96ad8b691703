// The protocol driver against a port that answers whatever the input says, in pieces, with
// stale bytes before the command, error flags, failing queries and reads, and a port that
// announces more bytes than it delivers.
//
// Input: 12 header bytes, then the argument, the stale bytes and the answer:
//   0  command number (mod 16: 14 is past the table, 15 runs the identification, whose
//      two commands get the answer up to its first CR and the rest); with bit 0x10 set,
//      a status command runs as the monitor's poll does, with event rules loaded
//   1  flags: 01 no output, 02 no argument, 04 beeper on in the last status, 08 write
//      fails, 10 short write, 20 looped-back cable (the command comes back before the
//      answer), 40 device log on, 80 the stale bytes repeated 40 times
//   2  piece size per status query (0: everything at once)
//   3  output size: for CMD_CUSTOM the buffer size (0: the callers' 256, 254: none at
//      all, 255: 2000); for a record, 1 gives one byte too few; for a poll, the flags
//      of the last status
//   4  AltTransDiff
//   5  time-out: value * 20 - 100 ms
//   6  argument length, 7 stale length
//   8  query failure mask, 9 read failure mask, 10 error flag mask, 11 mask of queries
//      that announce one byte more than there is (bit i: the i-th call mod 8)
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/commands.h"
#include "common/events.h"
#include "common/numbers.h"
#include "common/records.h"
#include "fuzz_support.h"
#include "monitor/link/megatec_mon.h"
#include "monitor/link/serial_port.h"

namespace {

class ScriptedPort final : public ISerialPort {
public:
    bool armed = false; // the script applies only once the port has been opened
    std::string incoming, pending;
    std::deque<std::string> answers; // one per command sent, in order
    std::size_t piece = 0;
    std::uint8_t queryFail = 0, readFail = 0, errorMask = 0, lieMask = 0;
    bool writeFail = false, writeShort = false, echo = false;
    std::string written;   // bytes sent once armed
    std::string delivered; // bytes read after the command went out
    bool commandSent = false;

    bool Open(const std::string&) override { return true; }
    void Close() override {}
    bool SetReadIntervalTimeout(std::uint32_t) override { return true; }
    bool GetLineConfig(LineConfig& c) override {
        c = LineConfig{};
        return true;
    }
    bool SetLineConfig(const LineConfig&) override { return true; }
    bool SetDTR(bool) override { return true; }
    bool SetRTS(bool) override { return true; }
    bool QueryStatus(std::uint32_t& errors, std::uint32_t& waiting) override {
        errors = 0;
        waiting = 0;
        if (!armed) return true;
        const unsigned bit = queries_++ % 8;
        if (queryFail >> bit & 1) return false;
        const std::size_t n = piece ? std::min(piece, pending.size()) : pending.size();
        incoming += pending.substr(0, n);
        pending.erase(0, n);
        errors = (errorMask >> bit & 1) ? 0x08 : 0;
        waiting = static_cast<std::uint32_t>(incoming.size() + ((lieMask >> bit) & 1));
        return true;
    }
    bool Read(void* buffer, std::uint32_t size, std::uint32_t& got) override {
        got = 0;
        if (armed && (readFail >> (reads_++ % 8) & 1)) return false;
        const std::size_t n = std::min<std::size_t>(size, incoming.size());
        incoming.copy(static_cast<char*>(buffer), n);
        if (commandSent) delivered.append(incoming, 0, n);
        incoming.erase(0, n);
        got = static_cast<std::uint32_t>(n);
        return true;
    }
    bool Write(const void* data, std::uint32_t size, std::uint32_t& done) override {
        done = 0;
        if (!armed) return true; // the wake-up command of the opening goes nowhere
        if (writeFail) return false;
        done = writeShort && size > 0 ? size - 1 : size;
        written.append(static_cast<const char*>(data), done);
        if (echo) pending.append(static_cast<const char*>(data), done);
        if (!answers.empty()) {
            pending += answers.front();
            answers.pop_front();
        }
        commandSent = true;
        return true;
    }
    std::uint32_t LastError() override { return 31; }

private:
    unsigned queries_ = 0, reads_ = 0;
};

struct Driver : TMegaTecMon {
    using TMegaTecMon::TMegaTecMon;
    TUpsStatus& StatusRecord() { return status_; }
    void SetAnswerTimeOut(std::int32_t ms) { timeOut_ = ms; }
};

// The command text as the protocol's table gives it, built independently of the driver.
std::string ExpectedText(std::uint8_t number, const std::string& arg) {
    const auto part = [&arg](std::size_t from, std::size_t n) {
        return from < arg.size() ? arg.substr(from, n) : std::string();
    };
    static const char* const fixed[] = {"Q1",    "T", "TL", nullptr, "Q", nullptr,
                                        nullptr, "C", "CT", "I",     "F", nullptr};
    std::string text;
    switch (number) {
    case CMD_TESTMINUTES:
        text = "T" + arg;
        break;
    case CMD_SHUTDOWN:
        text = "S" + part(0, 2);
        break;
    case CMD_SHUTDOWNRESTORE:
        text = "S" + part(0, 2) + "R" + part(3, 4);
        break;
    case CMD_CUSTOM:
        text = arg;
        break;
    default:
        text = fixed[number];
    }
    return text + '\r';
}

std::size_t RecordSize(CommandAnswer kind) {
    switch (kind) {
    case CommandAnswer::Status:
        return sizeof(TUpsStatus);
    case CommandAnswer::Info:
        return sizeof(TUpsInfo);
    case CommandAnswer::Rating:
        return sizeof(TUpsRating);
    default:
        return 0;
    }
}

// The log holds only printable ASCII and CR, whatever the UPS sent.
void CheckDeviceLog(const fuzz::MemoryFiles& files) {
    if (const std::string* log = files.Content(std::string(fuzz::ProgramDir) + "dev.log"))
        for (unsigned char c : *log)
            FUZZ_CHECK((c >= 32 && c <= 126) || c == '\r');
}

// The status line read as the protocol's field table says, for comparison with the
// driver. Empty where the two are allowed to differ: a field beyond a 32-bit float or a
// load beyond the byte, and regulation judged from a garbled voltage.
struct ReferenceStatus {
    float Values[6]; // input, fault, output, battery, frequency, temperature (record order)
    std::uint8_t Load;
    std::uint16_t Flags;
    bool Comparable = true;
};

ReferenceStatus ReadStatusLine(std::string_view line, std::uint8_t altTransDiff) {
    line = line.substr(0, line.find('\0'));
    ReferenceStatus r;
    const auto field = [&](std::size_t pos, std::size_t len) -> std::optional<double> {
        if (pos - 1 + len > line.size()) return std::nullopt;
        return ParseDecimal(line.substr(pos - 1, len));
    };
    const auto decimal = [&](std::size_t pos, std::size_t len) {
        const auto v = field(pos, len);
        if (v && std::fabs(*v) > FLT_MAX) r.Comparable = false;
        return v && std::fabs(*v) <= FLT_MAX ? static_cast<float>(*v) : -1.0f;
    };
    const float input = decimal(2, 5), output = decimal(14, 5);
    r.Values[0] = input;
    r.Values[1] = decimal(8, 5);
    r.Values[2] = output;
    r.Values[3] = decimal(29, 4);
    r.Values[4] = decimal(24, 4);
    r.Values[5] = decimal(34, 4);
    std::optional<std::int32_t> load;
    if (19 + 3 <= line.size()) load = ParseInteger(line.substr(19, 3));
    if (load && (*load < -1 || *load > 255)) r.Comparable = false;
    r.Load = load && *load >= 0 ? static_cast<std::uint8_t>(*load) : 255;
    const auto bit = [&](std::size_t pos) { return pos <= line.size() && line[pos - 1] == '1'; };
    constexpr std::pair<std::size_t, std::uint16_t> bits[] = {
        {39, UPS_ONBATTERY}, {40, UPS_BATTLOW},  {42, UPS_FAILED}, {43, UPS_STANDBY},
        {44, UPS_TEST},      {45, UPS_SHUTDOWN}, {46, UPS_BEEPER}};
    r.Flags = 0;
    for (const auto& [pos, flag] : bits)
        if (bit(pos)) r.Flags |= flag;
    if (altTransDiff == 0) {
        if (bit(41)) r.Flags |= UPS_REGULATING | (input > output ? UPS_BUCK : UPS_BOOST);
    } else if (input == -1.0f || output == -1.0f) {
        r.Comparable = false;
    } else if (double{input} - output >= altTransDiff) {
        r.Flags |= UPS_REGULATING | UPS_BUCK;
    } else if (double{output} - input >= altTransDiff) {
        r.Flags |= UPS_REGULATING | UPS_BOOST;
    }
    return r;
}

void CheckStatus(const unsigned char* before, const unsigned char* after) {
    TUpsStatus s;
    std::memcpy(&s, after, sizeof s);
    const float values[] = {s.InputVoltage,   s.InputFaultVoltage, s.OutputVoltage,
                            s.BatteryVoltage, s.InputFrequency,    s.Temperature};
    for (float v : values)
        FUZZ_CHECK(std::isfinite(v)); // a garbled field is -1, never NaN or infinite
    const std::uint16_t flags = s.Flags;
    FUZZ_CHECK((flags & ~0x03FFu) == 0);
    FUZZ_CHECK((flags & UPS_BOOST) == 0 || (flags & UPS_BUCK) == 0);
    FUZZ_CHECK(((flags & UPS_REGULATING) != 0) == ((flags & (UPS_BOOST | UPS_BUCK)) != 0));
    // The charge and the two battery times belong to the evaluation, not to the driver.
    FUZZ_CHECK(after[offsetof(TUpsStatus, BatteryCharge)] ==
               before[offsetof(TUpsStatus, BatteryCharge)]);
    FUZZ_CHECK(std::memcmp(after + offsetof(TUpsStatus, BatteryStart),
                           before + offsetof(TUpsStatus, BatteryStart), 16) == 0);
}

// The rating, then the information, into the caller's records: a record whose command
// failed is left as it was, and the information is asked for only after a good rating.
void CheckIdentify(Driver& mon, ScriptedPort& port, std::uint8_t fill) {
    TUpsRating rating;
    TUpsInfo info;
    std::memset(&rating, fill, sizeof rating);
    std::memset(&info, fill ^ 0x5A, sizeof info);
    TUpsRating ratingBefore = rating;
    TUpsInfo infoBefore = info;
    const bool ok = mon.Identify(rating, info);
    const bool ratingChanged = std::memcmp(&rating, &ratingBefore, sizeof rating) != 0;
    const bool infoChanged = std::memcmp(&info, &infoBefore, sizeof info) != 0;
    if (port.written != "F\r" && port.written != "F\rI\r") {
        FUZZ_CHECK(!ok && !ratingChanged && !infoChanged);
        return;
    }
    if (port.written == "F\r") FUZZ_CHECK(!ok && !infoChanged);
    if (!ok) FUZZ_CHECK(!infoChanged);
}

TEventRule Rule(std::uint16_t id, std::uint8_t source, std::uint8_t action,
                std::string_view parameter, std::string_view expression) {
    TEventRule rule;
    std::memset(&rule, 0, sizeof rule);
    rule.Id = id;
    rule.Source = source;
    rule.Action = action;
    rule.Parameter.Assign(parameter);
    rule.Expression.Assign(expression);
    return rule;
}

// Rules whose texts and expressions use every macro, and a custom command they send.
void WriteRulesAndCommands(fuzz::MemoryFiles& files) {
    const TEventRule rules[] = {
        Rule(1, 0, ACT_JOURNALMESSAGE, "Сеть: $INPUT/$OUTPUT В, $FAIL, $FREQ Гц, $ACFTIME", ""),
        Rule(2, EV_EXPRESSION, ACT_SCREENMESSAGE, "$LOAD% $CHARGE% $TERM", "%LOAD > 80"),
        Rule(3, EV_EXPRESSION, ACT_JOURNALMESSAGE, "$BATTERY", "%INPUT < $OUTPUT"),
        Rule(4, EV_EXPRESSION, ACT_UPSCOMMAND, "1", "%ACFTIME > 0.0035"),
        Rule(5, 8, ACT_RUNPROGRAM, "\"C:\\Program Files\\x.exe\" $INPUT", ""),
    };
    TCustomCommand command;
    std::memset(&command, 0, sizeof command);
    command.Id = 1;
    command.Code = CMD_BEEPTOGGLE;
    const std::string dir = fuzz::ProgramDir;
    files.files[dir + "Events.ups"] =
        std::make_shared<std::string>(reinterpret_cast<const char*>(rules), sizeof rules);
    files.files[dir + "CustCmds.ups"] =
        std::make_shared<std::string>(reinterpret_cast<const char*>(&command), sizeof command);
}

// A poll: a failed one keeps the last good status whole; a good one leaves a charge in
// range and a journal of whole records.
void CheckPoll(Driver& mon, ScriptedPort& port, const fuzz::MemoryFiles& files) {
    TUpsStatus before;
    std::memcpy(&before, &mon.StatusRecord(), sizeof before);
    const bool ok = mon.EvaluateStatus();
    if (!ok) {
        FUZZ_CHECK(std::memcmp(&before, &mon.StatusRecord(), sizeof before) == 0);
        return;
    }
    FUZZ_CHECK(port.written.compare(0, 3, "Q1\r") == 0);
    FUZZ_CHECK(mon.StatusRecord().BatteryCharge <= 100);
    if (const std::string* journal = files.Content(mon.JournalPath()))
        FUZZ_CHECK(journal->size() % sizeof(TJournalRecord) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const std::uint8_t first = in.Byte();
    const std::uint8_t number = first % 16;
    const bool poll = number == CMD_STATUS && (first & 0x10) != 0;
    const std::uint8_t flags = in.Byte();
    const std::uint8_t piece = in.Byte();
    const std::uint8_t outputSel = in.Byte();
    const std::uint8_t altTransDiff = in.Byte();
    const std::int32_t timeOut = in.Byte() * 20 - 100;
    const std::uint8_t argLength = in.Byte();
    const std::uint8_t staleLength = in.Byte();
    ScriptedPort port;
    port.queryFail = in.Byte();
    port.readFail = in.Byte();
    port.errorMask = in.Byte();
    port.lieMask = in.Byte();
    std::string argBytes = in.Bytes(argLength);
    std::string stale = in.Bytes(staleLength);
    const std::string answer = in.Rest();
    if (number == 15) {
        const std::size_t cr = answer.find('\r');
        const std::size_t split = cr == std::string::npos ? answer.size() : cr + 1;
        port.answers = {answer.substr(0, split), answer.substr(split)};
    } else {
        port.answers = {answer};
    }

    fuzz::Platform p(port);
    if (poll) WriteRulesAndCommands(p.files);
    Driver mon(p.platform);
    mon.SetPort("COM1");
    if (flags & 0x40) mon.SetDevLog("dev.log");
    mon.SetAltTransDiff(altTransDiff);
    mon.SetAnswerTimeOut(0); // the wake-up "I" of the opening gets no answer: no wait
    if (!mon.Open()) return 0;
    mon.SetAnswerTimeOut(timeOut);
    if (flags & 0x04) mon.StatusRecord().Flags = UPS_BEEPER;

    if (flags & 0x80) {
        std::string many;
        for (int i = 0; i < 40; ++i)
            many += stale;
        stale = many;
    }
    port.incoming = stale;
    port.piece = piece;
    port.writeFail = (flags & 0x08) != 0;
    port.writeShort = (flags & 0x10) != 0;
    port.echo = (flags & 0x20) != 0;
    port.armed = true;

    // The argument as a C text: it ends at its first zero byte.
    argBytes.push_back('\0');
    const char* argument = (flags & 0x02) ? nullptr : argBytes.c_str();
    const std::string arg = argument ? std::string(argument) : std::string();

    if (poll) {
        // The last status's flags come from the output size byte, which a poll has no use for.
        mon.StatusRecord().Flags = static_cast<std::uint16_t>(mon.StatusRecord().Flags | outputSel);
        mon.SetBattVoltageRange(13.6f, 10.5f);
        mon.LoadEventRules();
        mon.LoadCustomCommands();
        CheckPoll(mon, port, p.files);
        CheckDeviceLog(p.files);
        return 0;
    }
    if (number == 15) {
        CheckIdentify(mon, port, outputSel);
        CheckDeviceLog(p.files);
        return 0;
    }

    const std::uint8_t resolved =
        number == CMD_BEEPON || number == CMD_BEEPOFF ? CMD_BEEPTOGGLE : number;
    const CommandAnswer kind =
        resolved <= CMD_CUSTOM ? CommandTable[resolved].Answer : CommandAnswer::None;
    std::size_t outputSize = 256;
    if (kind == CommandAnswer::Line)
        outputSize = outputSel == 0     ? 256
                     : outputSel == 254 ? 0
                     : outputSel == 255 ? 2000
                                        : outputSel;
    else if (kind != CommandAnswer::None)
        outputSize = RecordSize(kind) - (outputSel == 1 ? 1 : 0);
    // Exactly the size the driver is told, on the heap, so a byte past it is caught.
    std::vector<unsigned char> output(outputSize);
    for (std::size_t i = 0; i < outputSize; ++i)
        output[i] = static_cast<unsigned char>(0xA5 ^ i ^ outputSel);
    const std::vector<unsigned char> before = output;
    void* out = (flags & 0x01) ? nullptr : output.data();

    const bool ok = mon.ExecuteCommand(number, argument, out, outputSize);

    CheckDeviceLog(p.files);

    if (!ok) {
        FUZZ_CHECK(output == before);
        return 0;
    }

    FUZZ_CHECK(number < CommandCount);
    const bool beeperOn = (flags & 0x04) != 0;
    if ((number == CMD_BEEPON && beeperOn) || (number == CMD_BEEPOFF && !beeperOn)) {
        FUZZ_CHECK(port.written.empty());
        return 0;
    }
    FUZZ_CHECK(!(CommandTable[resolved].NeedsArgument && argument == nullptr));
    FUZZ_CHECK(port.written == ExpectedText(resolved, arg));
    if (kind == CommandAnswer::None) return 0;

    FUZZ_CHECK(out != nullptr);
    const std::string& got = port.delivered;
    FUZZ_CHECK(!got.empty() && got.back() == '\r');
    switch (kind) {
    case CommandAnswer::Status:
        FUZZ_CHECK(got.size() >= 47 && got[0] == '(');
        CheckStatus(before.data(), output.data());
        if (const ReferenceStatus r = ReadStatusLine(got, altTransDiff); r.Comparable) {
            TUpsStatus parsed;
            std::memcpy(&parsed, output.data(), sizeof parsed);
            FUZZ_CHECK(std::memcmp(&parsed, r.Values, sizeof r.Values) == 0);
            FUZZ_CHECK(parsed.Load == r.Load);
            FUZZ_CHECK(parsed.Flags == r.Flags);
        }
        break;
    case CommandAnswer::Info:
        FUZZ_CHECK(got.size() >= 39 && got[0] == '#');
        break;
    case CommandAnswer::Rating:
        FUZZ_CHECK(got.size() >= 22 && got[0] == '#');
        break;
    case CommandAnswer::Line: {
        FUZZ_CHECK(outputSize >= 1);
        const char* text = reinterpret_cast<const char*>(output.data());
        const std::size_t n = strnlen(text, outputSize);
        FUZZ_CHECK(n < outputSize); // zero-terminated inside the buffer
        FUZZ_CHECK(got.compare(0, n, text, n) == 0);
        // An echo of the command is no answer.
        FUZZ_CHECK(std::string(got.c_str()) != port.written);
        break;
    }
    case CommandAnswer::None:
        break;
    }
    return 0;
}
