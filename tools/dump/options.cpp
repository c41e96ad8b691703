#include "tools/dump/options.h"

const std::string_view UsageText =
    "usage: kovrin-dump [--csv] [--follow] [--journal|--stats|--rules|--commands] FILE...\n"
    "Prints the monitor's data files as text (UTF-8), one line per record.\n"
    "The kind of each file follows from its name (Kovrin.lgb, Stat.ups, Events.ups,\n"
    "CustCmds.ups, in any case) unless an option names it.\n"
    "  --csv       a header row, then comma-separated fields\n"
    "  --follow    keep printing new records as the journal or statistics grow\n";

std::optional<DumpOptions> ParseArguments(const std::vector<std::string>& args,
                                          std::string& error) {
    DumpOptions options;
    const KindInfo* forced = nullptr;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            paths.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--csv") {
            options.Csv = true;
        } else if (arg == "--follow") {
            options.Follow = true;
        } else if (arg == "--help" || arg == "-h") {
            options.Help = true;
            return options;
        } else if (const KindInfo* kind = KindByOption(arg)) {
            if (forced && forced != kind) {
                error = "only one of --journal, --stats, --rules, --commands may be given";
                return std::nullopt;
            }
            forced = kind;
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (paths.empty()) {
        error = "no file given";
        return std::nullopt;
    }
    for (const std::string& path : paths) {
        const KindInfo* kind = forced ? forced : KindByFileName(path);
        if (!kind) {
            error = "cannot tell what " + path +
                    " holds from its name; use --journal, --stats, --rules or --commands";
            return std::nullopt;
        }
        if (options.Follow && !kind->Growing) {
            error = "--follow works with the journal and the statistics only";
            return std::nullopt;
        }
        options.Files.push_back({path, kind});
    }
    return options;
}
