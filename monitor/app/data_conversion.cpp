#include "monitor/app/data_conversion.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "common/files.h"
#include "common/records.h"

namespace {

template <typename T> constexpr std::size_t Area = sizeof(T); // length byte and characters

constexpr FieldCopy EventRuleFields[] = {
    {offsetof(TOldEventRule, Id), offsetof(TEventRule, Id), 2, false},
    {offsetof(TOldEventRule, Source), offsetof(TEventRule, Source), 1, false},
    {offsetof(TOldEventRule, Action), offsetof(TEventRule, Action), 1, false},
    {offsetof(TOldEventRule, Parameter), offsetof(TEventRule, Parameter), Area<TShortString<255>>,
     true},
    // The expression did not exist before: it stays empty.
};

constexpr FieldCopy CustomCommandFields[] = {
    {offsetof(TCustomCommand, Id), offsetof(TCustomCommand, Id), 2, false},
    {offsetof(TCustomCommand, Code), offsetof(TCustomCommand, Code), 1, false},
    {offsetof(TCustomCommand, Description), offsetof(TCustomCommand, Description),
     Area<TShortString<50>>, true},
    {offsetof(TCustomCommand, Parameter), offsetof(TCustomCommand, Parameter),
     Area<TShortString<50>>, true},
};

constexpr FieldCopy JournalFields[] = {
    {offsetof(TJournalRecord, Kind), offsetof(TJournalRecord, Kind), 1, false},
    // Copied as bytes: through a floating-point register a signalling NaN would change.
    {offsetof(TJournalRecord, Time), offsetof(TJournalRecord, Time), 8, false},
    {offsetof(TJournalRecord, Port), offsetof(TJournalRecord, Port), Area<TShortString<5>>, true},
    {offsetof(TJournalRecord, Text), offsetof(TJournalRecord, Text), Area<TShortString<100>>, true},
};

// Records converted per read and write, so a long journal is not copied 116 bytes a call.
constexpr std::int64_t Batch = 64;

bool ReadExactly(IFile& file, unsigned char* buffer, std::size_t size) {
    while (size > 0) {
        std::size_t done = 0;
        if (!file.Read(buffer, size, done) || done == 0) return false;
        buffer += done;
        size -= done;
    }
    return true;
}

bool WriteExactly(IFile& file, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        std::size_t done = 0;
        if (!file.Write(data, size, done) || done == 0) return false;
        data += done;
        size -= done;
    }
    return true;
}

} // namespace

const RecordConversion EventRuleConversion{sizeof(TOldEventRule), sizeof(TEventRule),
                                           EventRuleFields};
const RecordConversion CustomCommandConversion{sizeof(TCustomCommand), sizeof(TCustomCommand),
                                               CustomCommandFields};
const RecordConversion JournalConversion{sizeof(TJournalRecord), sizeof(TJournalRecord),
                                         JournalFields};

void ConvertRecord(const RecordConversion& conversion, const unsigned char* in,
                   unsigned char* out) {
    std::memset(out, 0, conversion.NewSize);
    for (const FieldCopy& field : conversion.Fields) {
        if (!field.Text) {
            std::memcpy(out + field.To, in + field.From, field.Size);
            continue;
        }
        // The length byte is kept as it stands, even when a damaged file claims more than
        // the area holds; the characters copied never go past the area.
        const std::uint8_t length = in[field.From];
        out[field.To] = length;
        const std::size_t chars = std::min<std::size_t>(length, field.Size - 1);
        std::memcpy(out + field.To + 1, in + field.From + 1, chars);
    }
}

bool ConvertFile(IFileSystem& files, IFile& source, std::int64_t count, const std::string& target,
                 const RecordConversion& conversion) {
    std::unique_ptr<IFile> output = files.Open(target, FileOpen::CreateAlways, FileShare::None);
    if (!output || !source.Seek(0)) return false;
    std::vector<unsigned char> in(conversion.OldSize * Batch), out(conversion.NewSize * Batch);
    for (std::int64_t done = 0; done < count;) {
        const auto n = static_cast<std::size_t>(std::min(Batch, count - done));
        if (!ReadExactly(source, in.data(), n * conversion.OldSize)) return false;
        for (std::size_t i = 0; i < n; ++i)
            ConvertRecord(conversion, in.data() + i * conversion.OldSize,
                          out.data() + i * conversion.NewSize);
        if (!WriteExactly(*output, out.data(), n * conversion.NewSize)) return false;
        done += static_cast<std::int64_t>(n);
    }
    return output->Flush();
}
