#pragma once
#include <string>

class IDesktop;
class IFileSystem;

struct DataFilePaths {
    std::string Events;   // "Events.ups"
    std::string Commands; // "CustCmds.ups"
    std::string Journal;  // "Kovrin.lgb"
    std::string Stats;    // "Stat.ups"
};

DataFilePaths MakeDataFilePaths(const std::string& programDir);

// The start-up check of the data files: creates missing ones, and when a size does not fit
// the current record layout asks the user whether to convert the previous layout.
// Returns true when the monitor must not run (the user said No, or the files fit neither
// layout, or a conversion step failed).
bool CheckDataFiles(IFileSystem& files, IDesktop& desktop, const DataFilePaths& paths);
