#include "dialog/help/help_topics.h"

#include <array>

namespace {

// Indexed by topic number. Every anchor is a place in DOC\tarvo.htm (a test reads the
// document and finds each). The numbering follows the manual's sections: 1 installing and
// connecting, 2 the monitor and its window's pages, 3 events and the journal, 4 the UPS's
// commands, 5 troubles, 6 files; then one topic per event source, action, protocol
// command and setting.
constexpr std::array<std::string_view, HelpTopicCount> Anchors = {
    "begin", "new", "1", "2", "2gen", "2list", "2hung_up", "2panel", "2.2", "2.2gen", "2.2interval",
    "2.2autosave", "2.2autohide",
    // 13: installing and connecting
    "1install", "1connect", "1cable", "1port", "1com10", "1wine", "1files",
    // 20: the pages
    "2.1", "2.1meters", "2.1indicators", "2.1time", "2.2timeout", "2.2port", "2.2lines",
    "2.2battery", "2.2calibr", "2.2alt", "2.2autorun", "2.2apply", "2.3", "2.3info", "2.3state",
    "2.3commands", "2.4", "2.4history", "2.5",
    // 39: events, the journal, the diagram
    "3", "3gen", "3list", "3edit", "3sources", "3actions", "3expr", "3macro", "3example",
    "3hibernate", "3battmsg", "3test", "3journal", "3filter", "3diag", "3range",
    // 55: commands
    "4", "4gen", "4custom", "4edit", "4protocol",
    // 60: troubles
    "5", "5.1", "5.2", "5.3", "5.4", "5.5",
    // 66: files
    "6", "6ini", "6events", "6cmds", "6journal", "6stat", "6devlog", "6term",
    // 74: the help viewer
    "7",
    // 75: the event sources, by code
    "3src0", "3src1", "3src2", "3src3", "3src4", "3src5", "3src6", "3src7", "3src8", "3src9",
    "3src10", "3src11", "3src12", "3src13", "3src14",
    // 90: the actions, by code
    "3act0", "3act1", "3act2", "3act3", "3act4", "3act5", "3act6", "3act7", "3act8", "3act9",
    // 100: the protocol's commands, by number
    "4cmd0", "4cmd1", "4cmd2", "4cmd3", "4cmd4", "4cmd5", "4cmd6", "4cmd7", "4cmd8", "4cmd9",
    "4cmd10", "4cmd11", "4cmd12", "4cmd13",
    // 114: the keys of Kovrin.ini
    "6Port", "6DTR", "6RTS", "6Interval", "6FailInterval", "6StatInterval", "6TimeOut",
    "6MinBattVoltage", "6MaxBattVoltage", "6AltTransDiff", "6DevLog"};

constexpr bool EveryAnchorFilled() {
    for (std::string_view a : Anchors)
        if (a.empty() || a.size() > 30) return false;
    return true;
}
static_assert(EveryAnchorFilled(), "each of the topics has an anchor of at most 30 characters");

// The topic of each page, in the order of the tabs.
constexpr int PageTopics[] = {
    20, // "Состояние": 2.1
    32, // "Дополнительно": 2.3
    41, // "События": 3list
    51, // "Протокол": 3journal
    36, // "Терминал": 2.4
    8,  // "Настройка": 2.2
    0,  // "О программе": the contents
};

} // namespace

std::string_view HelpTopicAnchor(int topic) {
    if (topic < 0 || topic >= HelpTopicCount) return Anchors[TOPIC_CONTENTS];
    return Anchors[static_cast<std::size_t>(topic)];
}

int HelpTopicOfPage(int page) {
    if (page < 0 || page >= static_cast<int>(std::size(PageTopics))) return TOPIC_CONTENTS;
    return PageTopics[page];
}
