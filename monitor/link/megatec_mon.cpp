#include "monitor/link/megatec_mon.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "common/clock.h"
#include "common/commands.h"
#include "monitor/link/link_texts.h"
#include "monitor/link/megatec_parse.h"
#include "monitor/link/serial_port.h"

namespace {

// Room the caller's output must have for each kind of answer.
std::size_t OutputNeeded(CommandAnswer kind) {
    switch (kind) {
    case CommandAnswer::Status:
        return sizeof(TUpsStatus);
    case CommandAnswer::Info:
        return sizeof(TUpsInfo);
    case CommandAnswer::Rating:
        return sizeof(TUpsRating);
    case CommandAnswer::Line:
        return 1; // at least the terminating zero
    case CommandAnswer::None:
        break;
    }
    return 0;
}

// What one wait for an answer gathered.
struct Answer {
    // One byte more than the protocol's buffer keeps a full buffer zero-terminated.
    std::array<char, TMegaTecMon::AnswerBufferSize + 1> Bytes{};
    std::uint32_t Received = 0;
    std::uint32_t Waited = 0;  // ms of idle steps
    std::uint32_t Waiting = 0; // bytes the last status query reported
    bool Complete = false;

    std::string_view All() const { return std::string_view(Bytes.data(), Received); }
    std::string_view Line() const { return std::string_view(Bytes.data()); }
};

// Parses into a copy of the caller's record and hands it over only whole, so a record
// never holds half of one answer and half of another.
template <typename T, typename Parse>
void ParseInto(void* output, std::string_view line, Parse parse) {
    T scratch;
    std::memcpy(&scratch, output, sizeof scratch);
    parse(line, scratch);
    std::memcpy(output, &scratch, sizeof scratch);
}

} // namespace

TMegaTecMon::TMegaTecMon(TPlatform& platform) : TCOMMon(platform) {}

TMegaTecMon::~TMegaTecMon() = default;

bool TMegaTecMon::Open() {
    const bool wasOpen = opened_;
    const bool result = TCOMMon::Open();
    // A first command wakes the UPS; its answer is not needed. Only a real opening needs
    // it: a port that was already open is left alone.
    if (result && opened_ && !wasOpen) {
        TUpsInfo scratch{};
        ExecuteCommand(CMD_INFO, nullptr, &scratch, sizeof scratch);
    }
    return result;
}

void TMegaTecMon::DrainStaleInput() {
    ISerialPort& port = SerialPort();
    std::uint32_t errors = 0, waiting = 0;
    if (!port.QueryStatus(errors, waiting) || errors != 0 || waiting == 0) return;

    WriteDeviceLog(LinkTexts::Stale);
    std::array<char, AnswerBufferSize> block;
    const std::uint32_t blockSize = static_cast<std::uint32_t>(block.size());
    std::uint32_t left = waiting;
    while (left > 0) {
        const std::uint32_t ask = std::min(left, blockSize);
        std::uint32_t got = 0;
        if (!port.Read(block.data(), ask, got)) {
            WriteDeviceLog(LinkTexts::LineEnd);
            WriteDeviceLog(LinkTexts::LogLine(LinkTexts::ReadError, port.LastError(), ask));
            return;
        }
        got = std::min(got, ask);
        WriteDeviceLog(std::string_view(block.data(), got));
        // A port that announced more than it delivers has nothing further to drain.
        if (got == 0) break;
        left -= ask;
    }
    WriteDeviceLog(LinkTexts::LineEnd);
}

bool TMegaTecMon::PerformCommand(std::uint8_t number, const char* argument, void* output,
                                 std::size_t outputSize) {
    if (!opened_) return false;
    std::string header = LinkTexts::PerformCommand;
    header += std::to_string(number);
    header += LinkTexts::PerformCommandEnd;
    WriteDeviceLog(header);
    DrainStaleInput();

    if (number > CMD_CUSTOM) return false;
    const CommandDef& def = CommandTable[number];
    if (def.NeedsArgument && argument == nullptr) return false;
    if (def.Answer != CommandAnswer::None &&
        (output == nullptr || outputSize < OutputNeeded(def.Answer)))
        return false;
    const auto text = BuildCommandText(number, argument);
    if (!text) return false;
    WriteDeviceLog(std::string(LinkTexts::Sent) += *text);

    ISerialPort& port = SerialPort();
    const auto length = static_cast<std::uint32_t>(text->size());
    std::uint32_t written = 0;
    const bool wrote = port.Write(text->data(), length, written);
    if (!wrote || written < length) {
        // A short write that the port called a success has no error number of its own.
        WriteDeviceLog(
            LinkTexts::LogLine(LinkTexts::WriteError, wrote ? 0 : port.LastError(), written));
        return false;
    }
    if (def.Answer == CommandAnswer::None) return true;

    // Wait for the answer. Only idle steps count towards the time-out: a UPS that keeps
    // talking is read to its CR however long the reads take.
    WriteDeviceLog(LinkTexts::Received);
    Answer answer;
    const auto timeOut = static_cast<std::uint32_t>(std::max<std::int32_t>(timeOut_, 0));
    while (answer.Waited < timeOut && !answer.Complete) {
        std::uint32_t errors = 0, waiting = 0;
        const bool queried = port.QueryStatus(errors, waiting);
        answer.Waiting = queried ? waiting : 0;
        std::uint32_t got = 0;
        if (!queried || errors != 0 || waiting == 0) {
            // nothing to read yet
        } else if (waiting <= AnswerBufferSize - answer.Received &&
                   port.Read(answer.Bytes.data() + answer.Received, waiting, got)) {
            got = std::min(got, waiting);
            WriteDeviceLog(std::string_view(answer.Bytes.data() + answer.Received, got));
            answer.Received += got;
            answer.Complete = answer.Received > 0 && answer.Bytes[answer.Received - 1] == '\r';
            // A port that announces bytes but delivers none must not spin for ever.
            if (got > 0) continue;
        } else {
            WriteDeviceLog(LinkTexts::LogLine(LinkTexts::ReadError, 0, waiting, AnswerBufferSize));
            answer.Waited = timeOut;
            break;
        }
        platform_.Clock.Sleep(IdleStep);
        answer.Waited += IdleStep;
    }

    if (!IsValidAnswer(number, answer.All(), answer.Complete, *text)) {
        WriteDeviceLog(LinkTexts::LineEnd);
        if (number == CMD_CUSTOM)
            WriteDeviceLog(LinkTexts::LogLine(LinkTexts::AnswerError, answer.Waited, answer.Waiting,
                                              answer.Received));
        else
            WriteDeviceLog(LinkTexts::LogLine(LinkTexts::AnswerError, answer.Waited, answer.Waiting,
                                              answer.Received,
                                              static_cast<unsigned char>(answer.Bytes[0])));
        return false;
    }

    const std::string_view line = answer.Line();
    switch (def.Answer) {
    case CommandAnswer::Status:
        ParseInto<TUpsStatus>(output, line, [this](std::string_view l, TUpsStatus& s) {
            ParseStatusLine(l, altTransDiff_, s);
        });
        break;
    case CommandAnswer::Info:
        ParseInto<TUpsInfo>(output, line, ParseInfoLine);
        break;
    case CommandAnswer::Rating:
        ParseInto<TUpsRating>(output, line, ParseRatingLine);
        break;
    case CommandAnswer::Line: {
        // The answer with its CR, cut to the caller's buffer and always terminated.
        const std::size_t n = std::min(line.size(), outputSize - 1);
        char* out = static_cast<char*>(output);
        std::memcpy(out, line.data(), n);
        out[n] = '\0';
        break;
    }
    case CommandAnswer::None:
        break;
    }
    return true;
}
