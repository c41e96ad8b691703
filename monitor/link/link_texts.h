#pragma once
#include <concepts>
#include <string>
#include <string_view>

// Texts of the UPS link: the refusal boxes and the device log lines. The log lines are
// written as prefix + values + LinkTexts::Close, each line ending with a lone CR.
namespace LinkTexts {

inline constexpr const char* InvalidOperation = "Invalid operation";
inline constexpr const char* ChangeWhileOpened = "Can't change this property while Opened = True";
inline constexpr const char* InvalidSpeed = "Invalid speed specifyed";

inline constexpr const char* Close = ")\r";
inline constexpr const char* LineEnd = "\r";

inline constexpr const char* PortOpened = "!!Port opened (";
inline constexpr const char* PortOpenError = "!?Port open error (";
inline constexpr const char* TimeoutsSet = "!!Port timeouts set (";
inline constexpr const char* TimeoutsSetError = "!?Port timeouts set error (";
inline constexpr const char* InvalidPortSpeed = "!?Invalid port speed (";
inline constexpr const char* SpeedSet = "!!Port speed set (";
inline constexpr const char* SpeedSetError = "!?Port speed set error (";
inline constexpr const char* DtrSet = "!!DTR set (";
inline constexpr const char* RtsSet = "!!RTS set (";
inline constexpr const char* PortClosed = "!!Port closed (";
inline constexpr const char* InitFinished = "#!Port initialization finished\r";

inline constexpr const char* PerformCommand = "#!Perform command (";
inline constexpr const char* PerformCommandEnd = "):\r";
inline constexpr const char* Stale = "?>";
inline constexpr const char* Sent = "<<";
inline constexpr const char* Received = ">>";
inline constexpr const char* ReadError = "!?Read error (";
inline constexpr const char* WriteError = "!?Write error (";
inline constexpr const char* AnswerError = "#?Answer error (";

} // namespace LinkTexts

// prefix + the items separated by ", " + ")" + CR: the shape of every log line that
// carries values, e.g. LogLine("!?Port speed set error (", 87, 2400).
namespace LinkTexts {

inline void AppendItem(std::string& line, std::string_view text) {
    line += text;
}
inline void AppendItem(std::string& line, std::integral auto value) {
    line += std::to_string(value);
}

template <typename... Items> std::string LogLine(std::string_view prefix, const Items&... items) {
    std::string line(prefix);
    bool first = true;
    ((line += first ? "" : ", ", first = false, AppendItem(line, items)), ...);
    line += Close;
    return line;
}

} // namespace LinkTexts
