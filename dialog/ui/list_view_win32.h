#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/ui/control_win32.h"

struct TListColumn {
    std::string Caption{};
    int Width = 100;
};

struct TListViewStyle {
    std::vector<TListColumn> Columns{};
    HIMAGELIST SmallImages = nullptr; // owned by the caller
    // Rows are asked for when shown (LVS_OWNERDATA): the list holds no texts itself, so a
    // list of any length costs nothing to fill. Set RowText before creating.
    bool Virtual = false;
};

// A read-only report list with whole-row selection that keeps its selection visible
// without the focus, and whose column headers do not react to clicks.
class TListView : public TControl {
public:
    bool Create(const TControlArgs& args, const TListViewStyle& style = {});

    // Plain lists.
    void Clear();
    int AddRow(const std::vector<std::string>& texts, int image = -1); // at the end
    int InsertRow(int index, const std::vector<std::string>& texts, int image = -1);
    std::string CellText(int row, int column) const;

    // Virtual lists: the row count, and the cell texts on demand.
    void SetRowCount(int count);
    std::function<std::string(int row, int column)> RowText;
    std::function<int(int row)> RowImage;

    int RowCount() const;
    int Selected() const; // -1 when none
    void Select(int row);
    void EnsureVisible(int row);
    std::function<void()> OnSelect;
    std::function<void()> OnDoubleClick;

protected:
    bool OnNotify(NMHDR* header, LRESULT& result) override;

private:
    bool virtual_ = false;
    std::string cellBuffer_; // holds a virtual cell's text while the list reads it
};
