#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TIniFile;

// The monitor's settings as the settings page holds them in memory: read from
// "Kovrin.ini" when the main window is created, taken from the page's controls by
// "Применить", written back at the window's destruction. Keys live in section "Main".
inline constexpr std::string_view SettingsSection = "Main";

struct TMonitorSettings {
    int FormTop = 100, FormLeft = 100;
    int Interval = 2500;
    int FailInterval = 1000;
    int StatInterval = 10000;
    int TimeOut = 2000;
    std::string Port = "COM1";
    bool Dtr = true, Rts = true;
    float MinBattVoltage = 0, MaxBattVoltage = 0;
    std::uint8_t AltTransDiff = 0; // 0 = boost and buck from the UPS's own bit
};

// The page's spin fields: range and step of each.
struct TSpinRange {
    int Min, Max, Step;
};
inline constexpr TSpinRange IntervalRange{500, 60000, 500};
inline constexpr TSpinRange FailIntervalRange{500, 60000, 500};
inline constexpr TSpinRange StatIntervalRange{500, 60000, 1};
inline constexpr TSpinRange TimeOutRange{1000, 9999, 100};
inline constexpr TSpinRange AltTransDiffRange{1, 50, 5};
inline constexpr int AltTransDiffInitial = 10; // shown while the alternative detection is off

// Reads every key with its default, then adjusts in the order TimeOut, Interval,
// FailInterval, StatInterval. A battery limit that is no number (or none a float can
// hold) reads as 0, which lets the rating's defaults apply.
TMonitorSettings ReadMonitorSettings(const TIniFile& ini);

// Writes the settings in their order. With the window's position first ("FormTop",
// "FormLeft") for the destruction's writes, without for "Применить". "AltTransDiff" is
// the value held when the alternative detection is on, else 0. Nothing reaches the disk
// before the file's Save.
enum class TWriteScope { Apply, Destruction };
void WriteMonitorSettings(TIniFile& ini, const TMonitorSettings& settings, bool altDetection,
                          TWriteScope scope);

// The battery limits: stored with one decimal, shown with two.
std::string StoredVoltage(float volts);
std::string ShownVoltage(float volts);

// A voltage field's text as a number; none for a text that is no number or too large
// for single precision.
std::optional<float> ParseVoltage(std::string_view text);

// The voltage fields take digits and "." only; everything else typed, control
// characters included, is dropped (with a beep).
inline bool VoltageCharAllowed(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// What the page's controls hold when "Применить" is pressed.
struct TSettingsInput {
    int Interval, FailInterval, TimeOut, StatInterval;
    std::string Port;
    bool Dtr, Rts;
    std::string MinText, MaxText;
    int AltTransDiff;
};

// Step 1 of applying: the values into memory in the page's order (intervals, port, lines,
// then the two voltages, then AltTransDiff). A voltage text that is no number stops it
// there: what was taken before stays in memory, and the offending text is returned.
struct TTakeResult {
    bool Ok;
    std::string BadText;
    bool BadIsMax; // which field: false the 0 % field, true the 100 % field
};
TTakeResult TakeIntoMemory(TMonitorSettings& settings, const TSettingsInput& input);

// The message for a voltage text that is no number.
std::string NotANumberMessage(std::string_view text);

// Where to place a window of the given size stored at (left, top) so that its caption can
// be reached on the virtual screen; the stored place itself when it can.
struct TScreenArea {
    int Left, Top, Width, Height;
};
struct TPoint2 {
    int X, Y;
};
TPoint2 ReachablePosition(int left, int top, int width, int height, const TScreenArea& screen);
