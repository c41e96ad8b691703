#include "dialog/diagram/diagram_data.h"

#include <algorithm>
#include <cmath>

#include "common/files.h"
#include "dialog/diagram/record_stream.h"

namespace {

// No reading of a UPS comes near this; a value beyond it is a damaged record.
constexpr double MaxSensibleValue = 100000;

bool Sensible(float value) {
    return std::isfinite(value) && std::fabs(value) <= MaxSensibleValue;
}

// The largest date-time of year 9999 and the smallest of year 1.
constexpr double LastCalendarDay = 2958465.99999;
constexpr double FirstCalendarDay = -693593;

// A read may deliver less than asked for: the record is whole only when the reads that
// follow complete it before the file ends.
bool ReadRecordAt(IFile& file, std::int64_t index, TStatRecord& record) {
    if (!file.Seek(index * static_cast<std::int64_t>(sizeof record))) return false;
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (std::size_t have = 0; have < sizeof record;) {
        std::size_t got = 0;
        if (!file.Read(bytes + have, sizeof record - have, got) || got == 0) return false;
        have += got;
    }
    return true;
}

} // namespace

TStatValues ValuesOf(const TStatRecord& r) {
    const TUpsStatus& s = r.Status;
    return {s.InputVoltage,
            s.OutputVoltage,
            s.BatteryVoltage,
            s.InputFrequency,
            static_cast<float>(s.Load),
            static_cast<float>(s.BatteryCharge)};
}

TDiagramPoints BucketAverages(const std::vector<TStatValues>& records, int maxPoints,
                              const TSeriesFlags& visible) {
    TDiagramPoints out;
    const std::size_t n = records.size();
    if (n == 0 || maxPoints <= 0) return out;
    const std::size_t limit = static_cast<std::size_t>(maxPoints);
    const std::size_t p = n < limit ? n : limit;
    const double b = n < limit ? 1.0 : static_cast<double>(n) / static_cast<double>(p);
    out.Count = static_cast<int>(p);
    for (auto& series : out.Values)
        series.assign(p, 0.0);

    std::size_t used = 0;
    for (std::size_t k = 1; used < n && k <= p; ++k) {
        std::array<double, SeriesCount> sum{};
        std::array<std::size_t, SeriesCount> count{};
        do {
            const TStatValues& v = records[used++];
            for (int s = 0; s < SeriesCount; ++s)
                if (Sensible(v[static_cast<std::size_t>(s)])) {
                    sum[static_cast<std::size_t>(s)] += v[static_cast<std::size_t>(s)];
                    ++count[static_cast<std::size_t>(s)];
                }
        } while (used < n && static_cast<double>(used) / static_cast<double>(k) < b);
        for (std::size_t s = 0; s < SeriesCount; ++s)
            if (visible[s] && count[s] > 0)
                out.Values[s][k - 1] = sum[s] / static_cast<double>(count[s]);
    }
    return out;
}

std::optional<std::vector<TStatValues>> ReadStatWindow(IFileSystem& files, const std::string& path,
                                                       double start, double length) {
    std::vector<TStatValues> selected;
    const double end = start + length;
    // A time that is no number fails both comparisons and is left out.
    const bool found = ReadRecords<TStatRecord>(files, path, [&](const TStatRecord& r) {
        if (r.Time >= start && r.Time <= end) selected.push_back(ValuesOf(r));
        return true;
    });
    if (!found) return std::nullopt;
    return selected;
}

bool IsCalendarDate(double value) {
    return std::isfinite(value) && value >= FirstCalendarDay && value <= LastCalendarDay;
}

std::optional<TStatSpan> ReadStatSpan(IFileSystem& files, const std::string& path) {
    auto file = files.Open(path, FileOpen::ReadExisting, FileShare::ReadWriteDelete);
    if (!file) return std::nullopt;
    const std::int64_t size = file->Size();
    if (size < static_cast<std::int64_t>(sizeof(TStatRecord))) return std::nullopt;
    const std::int64_t count = size / static_cast<std::int64_t>(sizeof(TStatRecord));
    // The first and last records with a real date: a damaged end is stepped over.
    TStatRecord record{};
    std::int64_t first = 0;
    for (;; ++first) {
        if (first == count || !ReadRecordAt(*file, first, record)) return std::nullopt;
        if (IsCalendarDate(record.Time)) break;
    }
    TStatSpan span{record.Time, record.Time};
    for (std::int64_t last = count - 1; last > first; --last)
        if (ReadRecordAt(*file, last, record) && IsCalendarDate(record.Time)) {
            span.Last = record.Time;
            break;
        }
    if (span.Last < span.First) std::swap(span.First, span.Last);
    return span;
}

TSliderSetup SliderFor(const TStatSpan& span, double chosenDay) {
    TSliderSetup s;
    s.Min = static_cast<int>(std::trunc(span.First));
    s.Max = static_cast<int>(std::trunc(span.Last));
    const bool within = chosenDay >= span.First && chosenDay <= span.Last;
    s.Position = within ? static_cast<int>(std::trunc(chosenDay)) : s.Min;
    return s;
}
