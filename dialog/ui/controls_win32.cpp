#include "dialog/ui/controls_win32.h"

#include <algorithm>

#include "common/numbers.h"

// ---- TButton

bool TButton::Create(const TControlArgs& args, const TButtonStyle& style) {
    kind_ = style.Kind;
    DWORD bits = 0;
    switch (style.Kind) {
    case TButtonKind::Push:
    case TButtonKind::Cancel:
        bits = BS_PUSHBUTTON;
        break;
    case TButtonKind::Default:
        bits = BS_DEFPUSHBUTTON;
        break;
    case TButtonKind::Check:
        bits = BS_AUTOCHECKBOX | (style.LeftText ? BS_LEFTTEXT : 0);
        break;
    case TButtonKind::Flat:
        bits = BS_PUSHBUTTON | BS_FLAT;
        break;
    }
    if (style.Multiline) bits |= BS_MULTILINE;
    TControlArgs common = args;
    common.TabStop = true;
    return CreateControl(common, {"BUTTON", bits, 0});
}

void TButton::Click() {
    if (OnClick) OnClick();
}

bool TButton::Checked() const {
    return Handle() && SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TButton::SetChecked(bool checked) {
    if (Handle()) SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TButton::OnCommand(WORD code) {
    if (code != BN_CLICKED) return false;
    Click();
    return true;
}

// ---- TLabel

bool TLabel::Create(const TControlArgs& args, const TLabelStyle& style) {
    textColor_ = style.TextColor;
    cursor_ = style.Cursor;
    DWORD bits = style.Align == TAlign::Center  ? SS_CENTER
                 : style.Align == TAlign::Right ? SS_RIGHT
                                                : SS_LEFT;
    if (style.CenterVertically)
        bits = (style.Align == TAlign::Center ? SS_CENTER : bits) | SS_CENTERIMAGE;
    if (style.Notify || style.Cursor) bits |= SS_NOTIFY;
    bits |= SS_NOPREFIX;
    return CreateControl(args, {"STATIC", bits, style.Sunken ? WS_EX_STATICEDGE : 0u});
}

void TLabel::SetTextColor(COLORREF color) {
    textColor_ = color;
    Invalidate();
}

bool TLabel::OnCommand(WORD code) {
    if (code != STN_CLICKED || !OnClick) return false;
    OnClick();
    return true;
}

HBRUSH TLabel::OnCtlColor(HDC dc) {
    if (textColor_ == CLR_INVALID || !Enabled()) return nullptr;
    ::SetTextColor(dc, textColor_);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

bool TLabel::OnOwnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_SETCURSOR && cursor_) {
        SetCursor(cursor_);
        result = TRUE;
        return true;
    }
    return false;
}

// ---- TEdit

bool TEdit::Create(const TControlArgs& args, const TEditStyle& style) {
    DWORD bits = ES_AUTOHSCROLL;
    if (style.ReadOnly) bits |= ES_READONLY;
    if (style.Multiline) bits = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
    if (style.Align == TAlign::Right) bits |= ES_RIGHT;
    if (style.Align == TAlign::Center) bits |= ES_CENTER;
    TControlArgs common = args;
    common.TabStop = true;
    if (!CreateControl(common, {"EDIT", bits, WS_EX_CLIENTEDGE})) return false;
    if (style.MaxLength > 0) SetMaxLength(style.MaxLength);
    return true;
}

void TEdit::SetMaxLength(int length) {
    if (Handle()) SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(length), 0);
}
void TEdit::SelectAll() {
    SetSelection(0, -1);
}

void TEdit::GetSelection(int& start, int& end) const {
    DWORD s = 0, e = 0;
    if (Handle())
        SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s),
                     reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

void TEdit::SetSelection(int start, int end) {
    if (Handle())
        SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void TEdit::ReplaceSelection(std::string_view text) {
    if (Handle())
        SendMessageA(Handle(), EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(std::string(text).c_str()));
}

void TEdit::Copy() {
    if (Handle()) SendMessageA(Handle(), WM_COPY, 0, 0);
}
void TEdit::Cut() {
    if (Handle()) SendMessageA(Handle(), WM_CUT, 0, 0);
}
void TEdit::Paste() {
    if (Handle()) SendMessageA(Handle(), WM_PASTE, 0, 0);
}

bool TEdit::OnCommand(WORD code) {
    if (code == EN_CHANGE && OnChange) {
        OnChange();
        return true;
    }
    if (code == EN_KILLFOCUS && OnLoseFocus) {
        OnLoseFocus();
        return true;
    }
    return false;
}

bool TEdit::OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_CHAR && OnCharFilter && !OnCharFilter(static_cast<char>(wParam))) {
        result = 0;
        return true;
    }
    if (msg == WM_CONTEXTMENU && OnContextMenu) {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (at.x == -1 && at.y == -1) { // from the keyboard: at the control
            RECT r;
            GetWindowRect(Handle(), &r);
            at = {r.left + 4, r.top + 4};
        }
        if (OnContextMenu(at)) {
            result = 0;
            return true;
        }
    }
    return false;
}

// ---- TComboBox

bool TComboBox::Create(const TControlArgs& args, const TComboStyle& style) {
    TControlArgs common = args;
    common.TabStop = true;
    common.Rect.Height = args.Rect.Height + style.DropHeight; // the list's room when dropped
    const DWORD bits =
        (style.Editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST) | WS_VSCROLL;
    if (!CreateControl(common, {"COMBOBOX", bits, 0})) return false;
    for (const std::string& item : style.Items)
        Add(item);
    return true;
}

void TComboBox::Clear() {
    if (Handle()) SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
}

int TComboBox::Add(std::string_view item) {
    if (!Handle()) return -1;
    return static_cast<int>(SendMessageA(Handle(), CB_ADDSTRING, 0,
                                         reinterpret_cast<LPARAM>(std::string(item).c_str())));
}

int TComboBox::Count() const {
    return Handle() ? static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0)) : 0;
}

std::string TComboBox::Item(int index) const {
    if (!Handle() || index < 0 || index >= Count()) return {};
    const LRESULT n = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n <= 0) return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(n));
    return text;
}

int TComboBox::Selected() const {
    return Handle() ? static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)) : -1;
}

void TComboBox::Select(int index) {
    if (Handle()) SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TComboBox::OnCommand(WORD code) {
    // An editable box reports typing as an edit change, a choice as a selection change.
    if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && OnChange) {
        OnChange();
        return true;
    }
    return false;
}

// ---- TTabControl

bool TTabControl::Create(const TControlArgs& args, const TTabStyle& style) {
    TControlArgs common = args;
    common.TabStop = true;
    if (!CreateControl(common,
                       {WC_TABCONTROLA, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT}))
        return false;
    // Narrower padding than the default, so that a row of short captions fits the width.
    SendMessageA(Handle(), TCM_SETPADDING, 0, MAKELPARAM(3, 3));
    int i = 0;
    for (const std::string& tab : style.Tabs) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        std::string text = tab;
        item.pszText = text.data();
        SendMessageA(Handle(), TCM_INSERTITEMA, static_cast<WPARAM>(i++),
                     reinterpret_cast<LPARAM>(&item));
    }
    return true;
}

int TTabControl::Selected() const {
    return Handle() ? static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)) : -1;
}

void TTabControl::Select(int index) {
    if (!Handle()) return;
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (OnChange) OnChange(Selected());
}

RECT TTabControl::DisplayArea() const {
    RECT r{};
    if (!Handle()) return r;
    GetClientRect(Handle(), &r);
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

bool TTabControl::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->code != TCN_SELCHANGE) return false;
    if (OnChange) OnChange(Selected());
    result = 0;
    return true;
}

// ---- TTrackBar

bool TTrackBar::Create(const TControlArgs& args, const TTrackBarStyle& style) {
    TControlArgs common = args;
    common.TabStop = true;
    const DWORD bits = TBS_HORZ | TBS_BOTTOM | (style.ManualTicks ? 0 : TBS_AUTOTICKS);
    if (!CreateControl(common, {TRACKBAR_CLASSA, bits, 0})) return false;
    SetRange(style.Min, style.Max);
    return true;
}

void TTrackBar::SetRange(int min, int max) {
    if (!Handle()) return;
    SendMessageA(Handle(), TBM_SETRANGEMIN, FALSE, min);
    SendMessageA(Handle(), TBM_SETRANGEMAX, TRUE, max);
}

int TTrackBar::Position() const {
    return Handle() ? static_cast<int>(SendMessageA(Handle(), TBM_GETPOS, 0, 0)) : 0;
}

void TTrackBar::SetPosition(int position) {
    if (Handle()) SendMessageA(Handle(), TBM_SETPOS, TRUE, position);
}

bool TTrackBar::OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_HSCROLL || msg == WM_VSCROLL) {
        if (OnChange) OnChange();
        result = 0;
        return true;
    }
    return TControl::OnReflected(msg, wParam, lParam, result);
}

// ---- TSpinEdit

bool TSpinEdit::TUpDown::Create(const TControlArgs& args) {
    return CreateControl(args, {UPDOWN_CLASSA, UDS_ARROWKEYS | UDS_ALIGNRIGHT, 0});
}

bool TSpinEdit::TUpDown::OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == UDN_DELTAPOS) {
        const auto* change = reinterpret_cast<NMUPDOWN*>(lParam);
        if (Owner) Owner->Step(change->iDelta > 0 ? 1 : -1);
        result = 1; // the edit box holds the value, not the up-down control
        return true;
    }
    if (msg == WM_VSCROLL) {
        result = 0;
        return true;
    }
    return TControl::OnReflected(msg, wParam, lParam, result);
}

bool TSpinEdit::Create(const TControlArgs& args, const TSpinStyle& style) {
    min_ = style.Min;
    max_ = style.Max;
    step_ = style.Step;
    if (!TEdit::Create(args)) return false;
    spin_.Owner = this;
    if (!spin_.Create({.Parent = args.Parent,
                       .Rect = {args.Rect.Right(), args.Rect.Top, 16, args.Rect.Height},
                       .Visible = args.Visible,
                       .Enabled = args.Enabled}))
        return false;
    upDown_ = spin_.Handle();
    // The up-down control sits inside the edit box's right edge, as a buddy.
    SendMessageA(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
    SendMessageA(upDown_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    SetValue(style.Value);
    return true;
}

int TSpinEdit::Value() const {
    const int value = ParseIntegerOr(Text(), min_);
    return std::clamp(value, min_, max_);
}

void TSpinEdit::SetValue(int value) {
    SetText(std::to_string(std::clamp(value, min_, max_)));
}

void TSpinEdit::EnableSpin(bool enabled) {
    Enable(enabled);
    if (upDown_) EnableWindow(upDown_, enabled);
}

void TSpinEdit::Step(int direction) {
    const long long next =
        static_cast<long long>(Value()) + static_cast<long long>(direction) * step_;
    SetValue(static_cast<int>(std::clamp<long long>(next, min_, max_)));
}

bool TSpinEdit::OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        Step(wParam == VK_UP ? 1 : -1);
        result = 0;
        return true;
    }
    if (msg == WM_KILLFOCUS) SetValue(Value()); // a typed value is brought into the range
    return TEdit::OnOwnMessage(msg, wParam, lParam, result);
}
