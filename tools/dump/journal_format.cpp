#include <cstdint>

#include "common/events.h"
#include "common/records.h"
#include "tools/dump/cp1251.h"
#include "tools/dump/record_format.h"
#include "tools/dump/text_fields.h"

namespace {

constexpr std::string_view KindNames[JournalKindCount] = {
    "end of run", "information", "warning", "error", "user",
};

std::string KindName(std::uint8_t kind) {
    return kind < JournalKindCount ? std::string(KindNames[kind]) : std::to_string(kind);
}

} // namespace

std::string JournalLine(std::string_view bytes) {
    const auto r = DecodeRecord<TJournalRecord>(bytes);
    std::string line = FormatDateTime(r.Time) + "  " + PadRight(KindName(r.Kind), 11) + "  " +
                       PadRight(PrintableUtf8(r.Port.View()), 5) + "  " +
                       PrintableUtf8(r.Text.View());
    // The end-of-run record has no text.
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::vector<std::string> JournalCsv(std::string_view bytes) {
    const auto r = DecodeRecord<TJournalRecord>(bytes);
    return {FormatDateTime(r.Time), std::to_string(r.Kind), PrintableUtf8(r.Port.View()),
            PrintableUtf8(r.Text.View())};
}
