// Megatec wire format: the answers a device sends and the commands it accepts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace upssim {

// Bits of the Q1 status byte, b7 first on the wire.
enum StatusBit : std::uint8_t {
    kBeeperOn = 1u << 0,
    kShutdownActive = 1u << 1,
    kTestInProgress = 1u << 2,
    kStandbyType = 1u << 3,
    kUpsFailed = 1u << 4,
    kAvrActive = 1u << 5,
    kBatteryLow = 1u << 6,
    kUtilityFail = 1u << 7,
};

struct Status {
    double input_voltage = 0;
    double fault_voltage = 0;
    double output_voltage = 0;
    int load_percent = 0;
    double frequency = 0;
    double battery_voltage = 0; // whole battery
    bool per_cell = false;      // report battery_voltage / cells instead
    int cells = 6;
    double temperature = 0;
    std::uint8_t bits = 0;
};

struct Rating {
    double voltage = 220.0;
    int current = 3;
    double battery_voltage = 12.0;
    double frequency = 50.0;
};

struct Info {
    std::string company = "SIMULATED CO.";
    std::string model = "UPSSIM-600";
    std::string version = "1.0.0";
};

inline constexpr std::size_t kStatusLength = 47;
inline constexpr std::size_t kRatingLength = 22;
inline constexpr std::size_t kInfoLength = 39;

// Each returns the complete answer including the trailing CR. Values that do
// not fit their field are clamped so the length never changes.
std::string format_status(const Status& s);
std::string format_rating(const Rating& r);
std::string format_info(const Info& i);

enum class CommandKind {
    Status,       // Q1
    Rating,       // F
    Info,         // I
    Test,         // T, T<nn>
    TestUntilLow, // TL
    ToggleBeeper, // Q
    Shutdown,     // S<n>, S<n>R<mmmm>
    Cancel,       // C
    CancelTest,   // CT
    Unknown,
};

struct Command {
    CommandKind kind = CommandKind::Unknown;
    double test_seconds = 0;     // Test
    double shutdown_seconds = 0; // Shutdown
    int restore_minutes = -1;    // Shutdown; -1 when no R part was given
};

// Parses one command without its CR.
Command parse_command(std::string_view text);

// Splits the incoming byte stream into CR-terminated commands. LF and NUL are
// dropped (clients often send CRLF); anything beyond the limit is discarded so
// a runaway sender cannot grow the buffer.
class CommandReader {
public:
    struct Line {
        std::string text;
        std::size_t dropped = 0; // bytes lost because the line was too long
    };

    explicit CommandReader(std::size_t limit = 64) : limit_(limit) {}

    std::vector<Line> feed(std::string_view bytes);
    std::size_t pending() const { return buffer_.size(); }

private:
    std::size_t limit_;
    std::string buffer_;
    std::size_t dropped_ = 0;
};

} // namespace upssim
