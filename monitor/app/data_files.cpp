#include "monitor/app/data_files.h"

DataFilePaths MakeDataFilePaths(const std::string& dir) {
    return {dir + "Events.ups", dir + "CustCmds.ups", dir + "Kovrin.lgb", dir + "Stat.ups"};
}
bool CheckDataFiles(IFileSystem&, IDesktop&, const DataFilePaths&) { return false; }
