#include "dialog/ui/masked_edit_win32.h"

#include <cstring>

#include "dialog/ui/popup_menu_win32.h"

bool TMaskEdit::Create(const TControlArgs& args, const TMaskEditStyle& style) {
    mask_ = std::make_unique<TEditMask>(style.Mask, style.DateSeparator, style.TimeSeparator);
    TControlArgs edit = args;
    edit.Text = {};
    if (!TEdit::Create(edit)) return false;
    SetMaxLength(static_cast<int>(mask_->Length()));
    SetText(args.Text); // through the mask
    return true;
}

std::string TMaskEdit::Value() const {
    return mask_ ? mask_->Value(Text()) : Text();
}

void TMaskEdit::Show(const std::string& shown, std::size_t caret) {
    CallOriginal(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    SetSelection(static_cast<int>(caret), static_cast<int>(caret));
}

std::string TMaskEdit::ClipboardText() const {
    std::string text;
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(Handle())) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text.assign(p, strnlen(p, 256));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool TMaskEdit::OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!mask_) return TEdit::OnOwnMessage(msg, wParam, lParam, result);
    int s = 0, e = 0;
    std::string shown;
    auto begin = [&] {
        GetSelection(s, e);
        shown = Text();
        if (shown.size() != mask_->Length()) shown = mask_->Apply(shown);
    };
    switch (msg) {
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        const std::string masked = mask_->Apply(text ? std::string_view(text) : "");
        result = CallOriginal(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(masked.c_str()));
        return true;
    }
    case WM_CHAR: {
        const char c = static_cast<char>(wParam);
        if (c == 3) return false; // Ctrl+C: the edit box copies
        if (c == 22) return OnOwnMessage(WM_PASTE, 0, 0, result);
        if (c == 24) return OnOwnMessage(WM_CUT, 0, 0, result);
        if (c == 1) {
            SelectAll();
            result = 0;
            return true;
        }
        if (OnCharFilter && !OnCharFilter(c)) {
            result = 0;
            return true;
        }
        begin();
        const auto start = static_cast<std::size_t>(s), end = static_cast<std::size_t>(e);
        const std::size_t caret =
            c == '\b' ? mask_->Backspace(shown, start, end) : mask_->Type(shown, start, end, c);
        Show(shown, caret);
        result = 0;
        return true;
    }
    case WM_KEYDOWN:
        // The edit box would cut and paste these itself, past the mask.
        if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0)
            return OnOwnMessage(WM_PASTE, 0, 0, result);
        if (wParam == VK_DELETE && GetKeyState(VK_SHIFT) < 0)
            return OnOwnMessage(WM_CUT, 0, 0, result);
        if (wParam != VK_DELETE) return TEdit::OnOwnMessage(msg, wParam, lParam, result);
        [[fallthrough]];
    case WM_CLEAR: {
        begin();
        Show(shown, mask_->Delete(shown, static_cast<std::size_t>(s), static_cast<std::size_t>(e)));
        result = 0;
        return true;
    }
    case WM_CUT:
        CallOriginal(WM_COPY, 0, 0);
        return OnOwnMessage(WM_CLEAR, 0, 0, result);
    case WM_PASTE: {
        const std::string pasted = ClipboardText();
        begin();
        Show(shown,
             mask_->Paste(shown, static_cast<std::size_t>(s), static_cast<std::size_t>(e), pasted));
        result = 0;
        return true;
    }
    case EM_REPLACESEL: {
        const char* text = reinterpret_cast<const char*>(lParam);
        begin();
        Show(shown, mask_->Paste(shown, static_cast<std::size_t>(s), static_cast<std::size_t>(e),
                                 text ? text : ""));
        result = 0;
        return true;
    }
    case WM_CONTEXTMENU: {
        // The edit box's own menu would edit past the mask: this one goes through it.
        if (OnContextMenu) return TEdit::OnOwnMessage(msg, wParam, lParam, result);
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (at.x == -1 && at.y == -1) {
            RECT r;
            GetWindowRect(Handle(), &r);
            at = {r.left + 4, r.top + 4};
        }
        GetSelection(s, e);
        const bool selection = s != e;
        const int chosen =
            TrackPopup(Handle(), at,
                       {{WM_CUT, "Вырезать", selection},
                        {WM_COPY, "Копировать", selection},
                        {WM_PASTE, "Вставить", IsClipboardFormatAvailable(CF_TEXT) != 0},
                        {WM_CLEAR, "Удалить", selection}});
        if (chosen) SendMessageA(Handle(), static_cast<UINT>(chosen), 0, 0);
        result = 0;
        return true;
    }
    case WM_UNDO:
    case EM_UNDO:
        result = 0; // the mask's edits keep no undo of their own
        return true;
    default:
        return TEdit::OnOwnMessage(msg, wParam, lParam, result);
    }
}
