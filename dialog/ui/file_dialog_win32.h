#pragma once
#include <windows.h>

#include <optional>
#include <string>

struct TOpenFileArgs {
    HWND Owner = nullptr;
    // Pairs of caption and patterns, each part ended by "|":
    // "Программы|*.exe;*.com|Все файлы|*.*".
    std::string Filter{};
    std::string DefaultExtension{}; // appended to a name typed without one, e.g. ".EXE"
    std::string Title{};            // the system's own when empty
    bool HideReadOnly = true;       // no "open as read-only" box
    bool KeepDirectory = true;      // the process's current directory left as it was
};

// The system's dialog for choosing an existing file to open: the full path chosen, or
// none when the user cancelled.
std::optional<std::string> ChooseFileToOpen(const TOpenFileArgs& args);
