#include "dialog/ui/list_view_win32.h"

#include <algorithm>
#include <cstring>

bool TListView::Create(const TControlArgs& args, const TListViewStyle& style) {
    virtual_ = style.Virtual;
    DWORD bits = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_NOSORTHEADER;
    if (style.Virtual) bits |= LVS_OWNERDATA;
    // The caller owns the images: the list must not destroy them with itself.
    if (style.SmallImages) bits |= LVS_SHAREIMAGELISTS;
    TControlArgs common = args;
    common.TabStop = true;
    if (!CreateControl(common, {WC_LISTVIEWA, bits, WS_EX_CLIENTEDGE})) return false;
    SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    if (style.SmallImages)
        SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(style.SmallImages));
    int i = 0;
    for (const TListColumn& column : style.Columns) {
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        std::string caption = column.Caption;
        c.pszText = caption.data();
        c.cx = column.Width;
        c.iSubItem = i;
        SendMessageA(Handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&c));
        ++i;
    }
    return true;
}

void TListView::Clear() {
    if (!Handle()) return;
    if (virtual_)
        SetRowCount(0);
    else
        SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

int TListView::InsertRow(int index, const std::vector<std::string>& texts, int image) {
    if (!Handle() || virtual_) return -1;
    LVITEMA item{};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0u);
    item.iItem = index;
    std::string first = texts.empty() ? std::string() : texts[0];
    item.pszText = first.data();
    item.iImage = image;
    const int row = static_cast<int>(
        SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return row;
    for (std::size_t c = 1; c < texts.size(); ++c) {
        LVITEMA sub{};
        sub.iSubItem = static_cast<int>(c);
        std::string text = texts[c];
        sub.pszText = text.data();
        SendMessageA(Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&sub));
    }
    return row;
}

int TListView::AddRow(const std::vector<std::string>& texts, int image) {
    return InsertRow(RowCount(), texts, image);
}

std::string TListView::CellText(int row, int column) const {
    if (!Handle() || row < 0) return {};
    char buf[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendMessageA(Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    // A virtual list may hand back its own buffer instead of filling ours.
    return std::string(item.pszText ? item.pszText : buf);
}

void TListView::SetRowCount(int count) {
    if (Handle())
        SendMessageA(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
}

int TListView::RowCount() const {
    return Handle() ? static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0)) : 0;
}

int TListView::Selected() const {
    if (!Handle()) return -1;
    return static_cast<int>(
        SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::Select(int row) {
    if (!Handle()) return;
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&none));
    if (row < 0) return;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    EnsureVisible(row);
}

void TListView::EnsureVisible(int row) {
    if (Handle()) SendMessageA(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

bool TListView::OnNotify(NMHDR* header, LRESULT& result) {
    result = 0;
    switch (header->code) {
    case LVN_GETDISPINFOA: {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        LVITEMA& item = info->item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            cellBuffer_ = RowText ? RowText(item.iItem, item.iSubItem) : std::string();
            const std::size_t n = std::min<std::size_t>(
                cellBuffer_.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            std::memcpy(item.pszText, cellBuffer_.data(), n);
            item.pszText[n] = '\0';
        }
        if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0)
            item.iImage = RowImage ? RowImage(item.iItem) : -1;
        return true;
    }
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) &&
            ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) && OnSelect)
            OnSelect();
        return true;
    }
    case NM_DBLCLK:
        if (OnDoubleClick) OnDoubleClick();
        return true;
    default:
        return false;
    }
}
