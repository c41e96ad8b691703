#include "common/commands.h"
#include "common/records.h"
#include "tools/dump/cp1251.h"
#include "tools/dump/record_format.h"

namespace {

std::string_view CommandName(unsigned code) {
    return code < CommandCount ? CommandTable[code].Name : std::string_view("?");
}

} // namespace

std::string CommandLine(std::string_view bytes) {
    const auto r = DecodeRecord<TCustomCommand>(bytes);
    return "id " + std::to_string(r.Id) + "  code " + std::to_string(r.Code) + " " +
           std::string(CommandName(r.Code)) + "  description \"" +
           PrintableUtf8(r.Description.View()) + "\"  parameter \"" +
           PrintableUtf8(r.Parameter.View()) + "\"";
}

std::vector<std::string> CommandCsv(std::string_view bytes) {
    const auto r = DecodeRecord<TCustomCommand>(bytes);
    return {std::to_string(r.Id), std::to_string(r.Code), std::string(CommandName(r.Code)),
            PrintableUtf8(r.Description.View()), PrintableUtf8(r.Parameter.View())};
}
