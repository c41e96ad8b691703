// The command editor on any stored command record: loading it into the editor's fields
// and saving it back with OK unchanged.
//
// Input: the 105 bytes of the record (zeros past the input's end).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "common/commands.h"
#include "dialog/commands/command_rules.h"
#include "fuzz_support.h"

namespace {

// The bytes of a text's area behind its new length are those the record had there.
template <std::size_t N>
void CheckBytesBehind(const TShortString<N>& was, const TShortString<N>& now) {
    for (std::size_t i = now.Size(); i < N; ++i)
        FUZZ_CHECK(now.Chars[i] == was.Chars[i]);
}

// A code the editor lists, or the user command's.
bool Listed(std::uint8_t code) {
    return KindOfCode(code) != KindOfCode(CMD_CUSTOM) || code == CMD_CUSTOM;
}

void CheckFields(const TCustomCommand& record, const TCmdFields& f) {
    FUZZ_CHECK(f.Kind >= 0 && f.Kind < CmdKindCount);
    FUZZ_CHECK(f.Description == record.Description.View());
    FUZZ_CHECK(f.Delay >= -1 && f.Delay < DelayCodeCount);
    FUZZ_CHECK(f.RestoreDelay >= -1 && f.RestoreDelay < DelayCodeCount);
    FUZZ_CHECK(f.SwitchOn.size() <= 4);
    if (!Listed(record.Code)) FUZZ_CHECK(f.CommandText.empty());
    if (f.Delay >= 0) FUZZ_CHECK(ShutdownDelayCodes[f.Delay] == record.Parameter.View());
    if (f.RestoreDelay >= 0)
        FUZZ_CHECK(ShutdownDelayCodes[f.RestoreDelay] == record.Parameter.View().substr(0, 2));
}

// Saved unchanged: the same code and description; a parameter of the same meaning (the
// same text, delay code or number); nothing else of the record touched.
void CheckSaved(const TCustomCommand& record, const TCmdFields& f, const TCustomCommand& saved) {
    FUZZ_CHECK(Listed(record.Code));
    FUZZ_CHECK(saved.Id == record.Id && saved.Code == record.Code);
    FUZZ_CHECK(saved.Description.View() == record.Description.View());
    CheckBytesBehind(record.Description, saved.Description);
    CheckBytesBehind(record.Parameter, saved.Parameter);
    const std::string_view was = record.Parameter.View(), now = saved.Parameter.View();
    switch (CmdKinds[f.Kind].Parameter) {
    case TCmdParameter::None:
        FUZZ_CHECK(std::memcmp(&saved.Parameter, &record.Parameter, sizeof saved.Parameter) == 0);
        break;
    case TCmdParameter::Text:
    case TCmdParameter::Delay:
        FUZZ_CHECK(now == was);
        break;
    case TCmdParameter::Minutes:
        FUZZ_CHECK(now.size() == 2 && PositiveInteger(now) == PositiveInteger(was));
        break;
    case TCmdParameter::DelayRestore:
        FUZZ_CHECK(now.size() == 7 && now.substr(0, 3) == std::string(was.substr(0, 2)) + " ");
        FUZZ_CHECK(PositiveInteger(now.substr(3)) == PositiveInteger(was.substr(3, 4)));
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    TCustomCommand record;
    const std::string bytes = in.Bytes(sizeof record) + std::string(sizeof record, '\0');
    std::memcpy(&record, bytes.data(), sizeof record);

    const TCmdFields fields = FieldsFromRecord(record);
    CheckFields(record, fields);
    const auto saved = RecordFromFields(record, fields);
    if (!saved) return 0;
    CheckSaved(record, fields, *saved);

    // What the editor saved loads and saves again to the same 105 bytes.
    const auto again = RecordFromFields(*saved, FieldsFromRecord(*saved));
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(std::memcmp(&*again, &*saved, sizeof *saved) == 0);
    return 0;
}
