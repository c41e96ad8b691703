// The diagram's reading of the statistics file ("Stat.ups") on files of any size and
// contents: the records of a time window, their bucket averages, the span of the file's
// dates and the range window's slider over it.
//
// Input: byte 0 = most points (0-255; the diagram asks for 100), byte 1 = the visible
// series (bits 0-5), 40 reads fail by the mask in byte 2, 80 the file is missing; byte 3 =
// most bytes one read delivers (0: all); byte 4 = the window: bits 0-2 one of the
// diagram's widths, 08 its start is the time of the record numbered by bits 4-7 (else the
// next 8 bytes are the start, a double), and with 08 unset the 8 bytes after that the
// length; then the file's contents.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dialog/diagram/diagram_data.h"
#include "fuzz_support.h"

namespace {

constexpr char Path[] = "C:\\Kovrin\\Stat.ups";

double DoubleFrom(fuzz::Reader& in) {
    const std::string bytes = in.Bytes(8) + std::string(8, '\0');
    double v;
    std::memcpy(&v, bytes.data(), sizeof v);
    return v;
}

std::vector<TStatRecord> WholeRecords(const std::string& content) {
    std::vector<TStatRecord> out(content.size() / sizeof(TStatRecord));
    if (!out.empty()) std::memcpy(out.data(), content.data(), out.size() * sizeof(TStatRecord));
    return out;
}

bool SameValues(const TStatValues& a, const TStatValues& b) {
    return std::memcmp(a.data(), b.data(), sizeof a) == 0;
}

// A value the averages take in: a number no UPS reading comes near is a damaged record.
bool Sensible(float v) {
    return std::isfinite(v) && std::fabs(v) <= 100000;
}

// The buckets as the diagram describes them: with p of at most maxPoints points for n
// records, bucket k (from 1) ends at the first whole count at or beyond k * n / p.
void CheckBuckets(const std::vector<TStatValues>& records, int maxPoints,
                  const TSeriesFlags& visible) {
    const TDiagramPoints points = BucketAverages(records, maxPoints, visible);
    const std::size_t n = records.size();
    const std::size_t p = maxPoints <= 0 ? 0 : std::min<std::size_t>(n, maxPoints);
    FUZZ_CHECK(points.Count == static_cast<int>(p));
    for (const auto& series : points.Values)
        FUZZ_CHECK(series.size() == p);
    std::size_t begin = 0;
    for (std::size_t k = 1; k <= p; ++k) {
        const std::size_t end = (k * n + p - 1) / p;
        FUZZ_CHECK(end > begin && end <= n); // every bucket holds a record
        for (std::size_t s = 0; s < SeriesCount; ++s) {
            const double point = points.Values[s][k - 1];
            FUZZ_CHECK(std::isfinite(point));
            float lo = INFINITY, hi = -INFINITY;
            for (std::size_t r = begin; r < end; ++r)
                if (Sensible(records[r][s])) {
                    lo = std::min(lo, records[r][s]);
                    hi = std::max(hi, records[r][s]);
                }
            if (!visible[s] || lo > hi) {
                FUZZ_CHECK(point == 0); // hidden, or nothing to average: at the axis
            } else {
                const double slack = 1e-9 * std::max(std::fabs(lo), std::fabs(hi));
                FUZZ_CHECK(point >= lo - slack && point <= hi + slack);
            }
        }
        begin = end;
    }
    FUZZ_CHECK(begin == (p ? n : 0)); // every record counted once
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    const int maxPoints = in.Byte();
    const std::uint8_t flags = in.Byte();
    const std::uint8_t mask = in.Byte();
    const std::size_t chunk = in.Byte();
    const std::uint8_t window = in.Byte();
    double start = 0, length = Widths[window % WidthCount].Days;
    std::size_t startRecord = SIZE_MAX;
    if (window & 0x08)
        startRecord = window >> 4;
    else
        start = DoubleFrom(in), length = DoubleFrom(in);
    const std::string content = in.Rest();

    const std::vector<TStatRecord> records = WholeRecords(content);
    if (startRecord != SIZE_MAX)
        start = startRecord < records.size() ? records[startRecord].Time : 0;
    TSeriesFlags visible{};
    for (std::size_t s = 0; s < SeriesCount; ++s)
        visible[s] = (flags >> s & 1) != 0;

    fuzz::MemoryFiles files;
    files.readChunk = chunk;
    const bool missing = flags & 0x80;
    if (!missing) files.files[Path] = std::make_shared<std::string>(content);
    files.failMask = flags & 0x40 ? mask : 0;
    const bool failures = files.failMask != 0;

    // The window's records: those whose time lies within it, in file order, the torn
    // record at the end left out; a failed read ends the list early.
    std::vector<TStatValues> expected;
    for (const TStatRecord& r : records)
        if (r.Time >= start && r.Time <= start + length) expected.push_back(ValuesOf(r));
    const auto selected = ReadStatWindow(files, Path, start, length);
    FUZZ_CHECK(selected.has_value() || missing || failures);
    if (missing) FUZZ_CHECK(!selected);
    if (selected) {
        FUZZ_CHECK(selected->size() <= expected.size());
        if (!failures) FUZZ_CHECK(selected->size() == expected.size());
        for (std::size_t i = 0; i < selected->size(); ++i)
            FUZZ_CHECK(SameValues((*selected)[i], expected[i]));
    }

    // The averages of the whole file as well as of the window.
    std::vector<TStatValues> all;
    for (const TStatRecord& r : records)
        all.push_back(ValuesOf(r));
    CheckBuckets(all, maxPoints, visible);
    if (selected) CheckBuckets(*selected, maxPoints, visible);

    // The span: the first and the last record with a real date, in order.
    files.operations = 0;
    const auto span = ReadStatSpan(files, Path);
    std::vector<double> dates;
    for (const TStatRecord& r : records) {
        const double time = r.Time; // packed: no reference to it
        if (IsCalendarDate(time)) dates.push_back(time);
    }
    if (missing) FUZZ_CHECK(!span);
    if (!failures && !missing) FUZZ_CHECK(span.has_value() == !dates.empty());
    if (span) {
        FUZZ_CHECK(IsCalendarDate(span->First) && IsCalendarDate(span->Last));
        FUZZ_CHECK(span->First <= span->Last);
        FUZZ_CHECK(std::find(dates.begin(), dates.end(), span->First) != dates.end());
        FUZZ_CHECK(std::find(dates.begin(), dates.end(), span->Last) != dates.end());
        if (!failures) {
            FUZZ_CHECK(span->First == std::min(dates.front(), dates.back()));
            FUZZ_CHECK(span->Last == std::max(dates.front(), dates.back()));
        }
        const TSliderSetup slider = SliderFor(*span, start);
        FUZZ_CHECK(slider.Min <= slider.Position && slider.Position <= slider.Max);
        FUZZ_CHECK(slider.Min == static_cast<int>(std::trunc(span->First)));
        FUZZ_CHECK(slider.Max == static_cast<int>(std::trunc(span->Last)));
    }
    return 0;
}
