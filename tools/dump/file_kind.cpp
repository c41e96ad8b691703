#include "tools/dump/file_kind.h"

#include <algorithm>

#include "common/records.h"
#include "tools/dump/record_format.h"

namespace {

// The programs keep at most this many rules and commands.
constexpr std::size_t ListLimit = 50;

const KindInfo Kinds[] = {
    {FileKind::Journal, "Kovrin.lgb", "--journal", sizeof(TJournalRecord), 0, true,
     "time,kind,port,text", JournalLine, JournalCsv},
    {FileKind::Stats, "Stat.ups", "--stats", sizeof(TStatRecord), 0, true,
     "time,input,fault,output,battery,frequency,temperature,load,charge,flags,battstart,"
     "batttime",
     StatsLine, StatsCsv},
    {FileKind::Rules, "Events.ups", "--rules", sizeof(TEventRule), ListLimit, false,
     "id,source,source_caption,action,action_caption,parameter,expression", RuleLine, RuleCsv},
    {FileKind::Commands, "CustCmds.ups", "--commands", sizeof(TCustomCommand), ListLimit, false,
     "id,code,name,description,parameter", CommandLine, CommandCsv},
};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

} // namespace

const KindInfo& KindOf(FileKind kind) {
    for (const KindInfo& k : Kinds)
        if (k.Kind == kind) return k;
    return Kinds[0];
}

const KindInfo* KindByFileName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    for (const KindInfo& k : Kinds)
        if (SameIgnoringCase(name, k.FileName)) return &k;
    return nullptr;
}

const KindInfo* KindByOption(std::string_view option) {
    for (const KindInfo& k : Kinds)
        if (option == k.Option) return &k;
    return nullptr;
}
