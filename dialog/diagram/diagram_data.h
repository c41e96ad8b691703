#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/records.h"
#include "dialog/meters/canvas.h"

class IFileSystem;

// What the statistics diagram draws, apart from its window: the widths it offers, its six
// series, and how the records of "Stat.ups" within a time window become at most 100 points
// a series.

struct TWidthDef {
    std::string_view Caption;
    double Days;
};
inline constexpr int WidthCount = 8;
inline constexpr TWidthDef Widths[WidthCount] = {
    {"минута", 1.0 / 1440}, {"5 минут", 5.0 / 1440}, {"30 минут", 30.0 / 1440},
    {"час", 1.0 / 24},      {"8 часов", 1.0 / 3},    {"12 часов", 1.0 / 2},
    {"сутки", 1},           {"10 суток", 10},
};

struct TSeriesDef {
    std::string_view Caption;
    TColor Color;         // of the line
    TColor CheckColor;    // of the check box's text
    std::string_view Key; // in section "Diagramm" of the settings
    bool Checked;         // by default
};
inline constexpr int SeriesCount = 6;
// 0x00BBGGRR: red, blue, green, teal, purple (its check box fuchsia), lime.
inline constexpr TSeriesDef Series[SeriesCount] = {
    {"Входное напряжение", 0x0000FF, 0x0000FF, "InpV", true},
    {"Выходное напряжение", 0xFF0000, 0xFF0000, "OutV", true},
    {"Напряжение батареи", 0x008000, 0x008000, "BatV", true},
    {"Частота", 0x808000, 0x808000, "Freq", false},
    {"Нагрузка", 0x800080, 0xFF00FF, "Load", true},
    {"Заряд батареи", 0x00FF00, 0x00FF00, "Charg", false},
};

using TSeriesFlags = std::array<bool, SeriesCount>;
// The six values of one record, in the order of the series.
using TStatValues = std::array<float, SeriesCount>;
TStatValues ValuesOf(const TStatRecord& record);

// The points of every series; a series left unchecked lies at 0.
struct TDiagramPoints {
    int Count = 0;
    std::array<std::vector<double>, SeriesCount> Values;
};

// The records spread over at most maxPoints points: below that many records, one point a
// record; else buckets of n / p records on average, each ending at the first whole count
// at or beyond k * n / p. A value that is no number (or beyond any reading of a UPS) is
// left out of its bucket's average, so that a damaged record neither breaks the curve nor
// stretches the scale.
TDiagramPoints BucketAverages(const std::vector<TStatValues>& records, int maxPoints,
                              const TSeriesFlags& visible);

// The values of the records whose time lies in start ... start + length, in file order;
// none when the file is missing.
std::optional<std::vector<TStatValues>> ReadStatWindow(IFileSystem& files, const std::string& path,
                                                       double start, double length);

// The days the file spans: the times of its first and last records that are real dates.
struct TStatSpan {
    double First = 0, Last = 0;
};
// None when the file is missing or holds no record with a date.
std::optional<TStatSpan> ReadStatSpan(IFileSystem& files, const std::string& path);

// The range window's slider over the file's days: its ends the whole days of the first and
// last records, its position the chosen day when that lies within them, else the first.
struct TSliderSetup {
    int Min = 0, Max = 0, Position = 0;
};
TSliderSetup SliderFor(const TStatSpan& span, double chosenDay);

// A date-time value that names a day of the calendar (years 1 ... 9999).
bool IsCalendarDate(double value);
