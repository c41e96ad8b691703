#pragma once
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "harness.h"

// Steps of a user on the event, journal and diagram windows, for the tests of those
// windows: choosing in lists, reading long texts, and the binary files they show.
namespace dialogtest {

// A choice in a drop-down list, as the user makes it: the owner hears of it.
inline void ChooseInCombo(HWND combo, int index) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}
inline int ComboSelected(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}
inline std::string ComboText(HWND combo) {
    const int i = ComboSelected(combo);
    if (i < 0) return {};
    char buf[512] = {};
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    return buf;
}

// A window's text however long it is (the chart reads out all its points).
inline std::string LongText(HWND hwnd) {
    std::string buf(1 << 16, '\0');
    const LRESULT n =
        SendMessageA(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return buf;
}

// A list row selected (or none with -1), as a click on it does.
inline void SelectListRow(HWND list, int row) {
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    if (row < 0) return;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}
inline int SelectedListRow(HWND list) {
    return static_cast<int>(
        SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
inline int ListImage(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}
// The column's cells top down.
inline std::vector<std::string> ListColumn(HWND list, int column) {
    std::vector<std::string> out;
    for (int r = 0; r < ListRows(list); ++r)
        out.push_back(ListCell(list, r, column));
    return out;
}

template <typename T> std::string Bytes(const std::vector<T>& records) {
    return std::string(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(T));
}
template <typename T> std::vector<T> Records(const std::string& bytes) {
    std::vector<T> out(bytes.size() / sizeof(T));
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
    return out;
}

// A window of the library's thread with that caption, once it shows.
inline HWND WaitForForm(HWND main, const char* caption) {
    return WaitForWindow(main, "TarvoForm", caption);
}
inline bool WaitGone(HWND window) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

} // namespace dialogtest
