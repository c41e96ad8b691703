#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class IFile;
class IFileSystem;

// How a record of the previous data-file layout maps onto the current one, field by field.
// Each output record starts zero-filled, so whatever a field does not carry over is 0.
struct FieldCopy {
    std::size_t From, To, Size;
    // A length-prefixed text: the length byte and the characters it counts (never more
    // than the area holds); the left-overs behind the text stay 0.
    bool Text;
};

struct RecordConversion {
    std::size_t OldSize, NewSize;
    std::span<const FieldCopy> Fields;
};

extern const RecordConversion EventRuleConversion;     // 260 -> 516 bytes, empty expression
extern const RecordConversion CustomCommandConversion; // 105 -> 105 bytes
extern const RecordConversion JournalConversion;       // 116 -> 116 bytes

// `out` holds conversion.NewSize bytes, `in` conversion.OldSize.
void ConvertRecord(const RecordConversion& conversion, const unsigned char* in, unsigned char* out);

// Writes `target` (created anew) from the first `count` records of `source`, read from its
// start. False on any read or write error; the caller decides what happens to `target`.
bool ConvertFile(IFileSystem& files, IFile& source, std::int64_t count, const std::string& target,
                 const RecordConversion& conversion);
