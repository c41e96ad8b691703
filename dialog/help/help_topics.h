#pragma once
#include <string_view>

// Topics of the user manual: a number selects an anchor inside the document.
inline constexpr int HelpTopicCount = 125;

// The anchor of a topic (at most 30 characters); the contents' anchor for a number
// outside 0 ... HelpTopicCount - 1.
std::string_view HelpTopicAnchor(int topic);

// The topic that explains a page of the main window (by its tab index).
int HelpTopicOfPage(int page);

// Topics named where the library opens them.
enum : int {
    TOPIC_CONTENTS = 0,
    TOPIC_HELPVIEWER = 74,
};
