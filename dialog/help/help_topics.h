#pragma once

// Topics of the user manual: a number selects an anchor inside the document.
inline constexpr int HelpTopicCount = 125;

// The topic that explains a page of the main window (by its tab index).
int HelpTopicOfPage(int page);
