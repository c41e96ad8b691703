#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/ui/control_win32.h"

// Thin wrappers of the standard controls. Each is created from the common arguments and,
// where it has options of its own, a style struct of them; it raises its notifications as
// std::function members, so a window wires a control to its handler in one line and its
// procedure never sees WM_COMMAND.

enum class TButtonKind { Push, Default, Cancel, Check, Flat };

struct TButtonStyle {
    TButtonKind Kind = TButtonKind::Push;
    bool Multiline = false;
    bool LeftText = false; // check box with its caption left of the box
};

class TButton : public TControl {
public:
    bool Create(const TControlArgs& args, const TButtonStyle& style = {});
    void Click(); // as the user's click: raises OnClick
    bool Checked() const;
    void SetChecked(bool checked); // does not raise OnClick
    bool IsDefault() const { return kind_ == TButtonKind::Default; }
    bool IsCancel() const { return kind_ == TButtonKind::Cancel; }
    std::function<void()> OnClick;

protected:
    bool OnCommand(WORD code) override;

private:
    TButtonKind kind_ = TButtonKind::Push;
};

enum class TAlign { Left, Center, Right };

struct TLabelStyle {
    TAlign Align = TAlign::Left;
    bool Sunken = false; // a read-only field look
    bool Notify = false; // clicks reach OnClick
    bool CenterVertically = false;
    COLORREF TextColor = CLR_INVALID; // the system's text colour when invalid
    HCURSOR Cursor = nullptr;
};

class TLabel : public TControl {
public:
    bool Create(const TControlArgs& args, const TLabelStyle& style = {});
    void SetTextColor(COLORREF color);
    std::function<void()> OnClick;

protected:
    bool OnCommand(WORD code) override;
    HBRUSH OnCtlColor(HDC dc) override;
    bool OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    COLORREF textColor_ = CLR_INVALID;
    HCURSOR cursor_ = nullptr;
};

struct TEditStyle {
    bool ReadOnly = false;
    bool Multiline = false;
    int MaxLength = 0; // 0 = no limit
    TAlign Align = TAlign::Left;
};

class TEdit : public TControl {
public:
    bool Create(const TControlArgs& args, const TEditStyle& style = {});
    void SetMaxLength(int length);
    void SelectAll();
    // Caret and selection as character positions.
    void GetSelection(int& start, int& end) const;
    void SetSelection(int start, int end);
    void ReplaceSelection(std::string_view text);
    void Copy();
    void Cut();
    void Paste();

    std::function<void()> OnChange;
    std::function<void()> OnLoseFocus;
    // A typed character; false drops it (the edit box never sees it).
    std::function<bool(char)> OnCharFilter;
    // The context menu was asked for at a screen point; true when it was shown.
    std::function<bool(POINT)> OnContextMenu;

protected:
    bool OnCommand(WORD code) override;
    bool OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

struct TComboStyle {
    bool Editable = false; // a drop-down with a text field, else a choice list only
    int DropHeight = 200;
    std::vector<std::string> Items{};
};

class TComboBox : public TControl {
public:
    bool Create(const TControlArgs& args, const TComboStyle& style = {});
    void Clear();
    int Add(std::string_view item);
    int Count() const;
    std::string Item(int index) const;
    int Selected() const;   // -1 when none
    void Select(int index); // does not raise OnChange
    std::function<void()> OnChange;

protected:
    bool OnCommand(WORD code) override;
};

struct TTabStyle {
    std::vector<std::string> Tabs{};
};

class TTabControl : public TControl {
public:
    bool Create(const TControlArgs& args, const TTabStyle& style = {});
    int Selected() const;
    void Select(int index);   // raises OnChange, as a click does
    RECT DisplayArea() const; // the pages' area in the control's client coordinates
    std::function<void(int)> OnChange;

protected:
    bool OnNotify(NMHDR* header, LRESULT& result) override;
};

struct TTrackBarStyle {
    int Min = 0, Max = 10;
    bool ManualTicks = true;
};

class TTrackBar : public TControl {
public:
    bool Create(const TControlArgs& args, const TTrackBarStyle& style = {});
    void SetRange(int min, int max);
    int Position() const;
    void SetPosition(int position);
    std::function<void()> OnChange;
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// An edit box with an up-down control beside it, holding an integer within a range.
struct TSpinStyle {
    int Min = 0, Max = 100, Step = 1, Value = 0;
};

class TSpinEdit : public TEdit {
public:
    bool Create(const TControlArgs& args, const TSpinStyle& style = {});
    // The text read as an integer brought into the range; a text that is no integer
    // reads as the minimum.
    int Value() const;
    void SetValue(int value); // shown brought into the range
    int Min() const { return min_; }
    int Max() const { return max_; }
    HWND UpDown() const { return upDown_; }
    void EnableSpin(bool enabled);

private:
    bool OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    class TUpDown : public TControl {
    public:
        TSpinEdit* Owner = nullptr;
        bool Create(const TControlArgs& args);
        bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    };
    void Step(int direction);
    TUpDown spin_;
    HWND upDown_ = nullptr;
    int min_ = 0, max_ = 100, step_ = 1;
};
