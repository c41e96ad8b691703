#include "common/events.h"
#include "common/records.h"
#include "tools/dump/cp1251.h"
#include "tools/dump/record_format.h"

std::string RuleLine(std::string_view bytes) {
    const auto r = DecodeRecord<TEventRule>(bytes);
    return "id " + std::to_string(r.Id) + "  source " + std::to_string(r.Source) + " " +
           Cp1251ToUtf8(CaptionOf(EventSourceCaptions, r.Source)) + "  action " +
           std::to_string(r.Action) + " " + Cp1251ToUtf8(CaptionOf(ActionCaptions, r.Action)) +
           "  parameter \"" + PrintableUtf8(r.Parameter.View()) + "\"  expression \"" +
           PrintableUtf8(r.Expression.View()) + "\"";
}

std::vector<std::string> RuleCsv(std::string_view bytes) {
    const auto r = DecodeRecord<TEventRule>(bytes);
    return {std::to_string(r.Id),
            std::to_string(r.Source),
            Cp1251ToUtf8(CaptionOf(EventSourceCaptions, r.Source)),
            std::to_string(r.Action),
            Cp1251ToUtf8(CaptionOf(ActionCaptions, r.Action)),
            PrintableUtf8(r.Parameter.View()),
            PrintableUtf8(r.Expression.View())};
}
