#include "dialog/ui/file_dialog_win32.h"

#include <commdlg.h>

#include <vector>

std::optional<std::string> ChooseFileToOpen(const TOpenFileArgs& args) {
    // The system's form: every part ended by a zero, the whole by two.
    std::string filter = args.Filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');
    std::string extension = args.DefaultExtension;
    if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);

    std::vector<char> path(MAX_PATH * 4, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = args.Owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrTitle = args.Title.empty() ? nullptr : args.Title.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_PATHMUSTEXIST;
    if (args.HideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    if (args.KeepDirectory) ofn.Flags |= OFN_NOCHANGEDIR;
    // The common dialogs' library is loaded only for the dialog: imported, it would be
    // loaded and freed with every opening of the window, and under Wine each of those
    // leaves a handle behind.
    HMODULE library = LoadLibraryA("comdlg32.dll");
    if (!library) return std::nullopt;
    using TGetOpenFileName = BOOL(WINAPI*)(OPENFILENAMEA*);
    const auto open = reinterpret_cast<TGetOpenFileName>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetOpenFileNameA")));
    const bool chosen = open && open(&ofn);
    FreeLibrary(library);
    if (!chosen) return std::nullopt;
    return std::string(path.data());
}
