#include "dialog/ui/rich_edit_win32.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct TReadCookie {
    std::string_view Data;
    std::size_t Position = 0;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* in = reinterpret_cast<TReadCookie*>(cookie);
    const std::size_t n =
        std::min(in->Data.size() - in->Position, static_cast<std::size_t>(std::max(size, 0L)));
    if (n) std::memcpy(buffer, in->Data.data() + in->Position, n);
    in->Position += n;
    *done = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK WriteChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* out = reinterpret_cast<std::string*>(cookie);
    if (size > 0)
        out->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
    *done = size;
    return 0;
}

} // namespace

bool TRichEdit::Create(const TControlArgs& args, const TRichEditStyle& style) {
    DWORD bits = ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN;
    if (style.HScroll) bits |= WS_HSCROLL | ES_AUTOHSCROLL;
    if (style.VScroll) bits |= WS_VSCROLL;
    if (style.HScroll || style.VScroll) bits |= ES_DISABLENOSCROLL;
    if (style.ReadOnly) bits |= ES_READONLY;
    if (!CreateControl(args, {"RichEdit20A", bits, WS_EX_CLIENTEDGE})) return false;
    font_ = style.Font;
    charSet_ = style.CharSet;
    pitchAndFamily_ = style.PitchAndFamily;
    textColor_ = style.TextColor == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : style.TextColor;
    typeInDefaultColor_ = style.TypeInDefaultColor;
    SendMessageA(Handle(), EM_EXLIMITTEXT, 0, style.TextLimit);
    if (style.BackColor != CLR_INVALID)
        SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, style.BackColor);
    // A line wider than the control scrolls instead of wrapping.
    SendMessageA(Handle(), EM_SETTARGETDEVICE, 0, 1);
    ApplyDefaultFormat(true);
    return true;
}

void TRichEdit::ApplyDefaultFormat(bool withColor) {
    CHARFORMAT2A f{};
    f.cbSize = sizeof f;
    f.dwMask =
        CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_CHARSET | CFM_COLOR | CFM_ITALIC | CFM_UNDERLINE;
    f.dwEffects = (font_.Bold ? CFE_BOLD : 0u) | (font_.Underline ? CFE_UNDERLINE : 0u);
    f.yHeight = font_.PointSize * 20;
    f.bCharSet = charSet_;
    // Where the face is missing the system then substitutes a font of the same kind.
    f.bPitchAndFamily = pitchAndFamily_;
    f.crTextColor = textColor_;
    lstrcpynA(f.szFaceName, font_.Face.c_str(), LF_FACESIZE);
    SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&f));
    // The text there is (if only the final paragraph mark, whose format typing takes).
    if (!withColor) f.dwMask &= ~static_cast<DWORD>(CFM_COLOR);
    SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&f));
}

bool TRichEdit::LoadRtf(std::string_view rtf) {
    TReadCookie cookie{rtf};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, &ReadChunk};
    const LRESULT taken =
        SendMessageA(Handle(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0 && (taken > 0 || rtf.empty());
}

bool TRichEdit::LoadText(std::string_view text) {
    TReadCookie cookie{text};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, &ReadChunk};
    SendMessageA(Handle(), EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0;
}

std::string TRichEdit::SaveRtf() const {
    std::string out;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&out), 0, &WriteChunk};
    SendMessageA(Handle(), EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return out;
}

int TRichEdit::TextLength() const {
    // Characters, a paragraph mark counting as one (code page 1200 counts characters).
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<int>(
        SendMessageA(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

int TRichEdit::LineCount() const {
    return static_cast<int>(SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0));
}

int TRichEdit::LineStart(int line) const {
    return static_cast<int>(SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0));
}

int TRichEdit::LineLength(int line) const {
    const int start = LineStart(line);
    if (start < 0) return 0;
    return static_cast<int>(SendMessageA(Handle(), EM_LINELENGTH, static_cast<WPARAM>(start), 0));
}

std::string TRichEdit::LineText(int line) const {
    const int length = LineLength(line);
    if (length <= 0) return {};
    // EM_GETLINE takes the buffer's size in its first word.
    const std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(length) + 2, 0xFFFF);
    std::vector<char> buffer(std::max<std::size_t>(size, sizeof(WORD)) + 1, '\0');
    const WORD capacity = static_cast<WORD>(size);
    std::memcpy(buffer.data(), &capacity, sizeof capacity);
    const LRESULT got = SendMessageA(Handle(), EM_GETLINE, static_cast<WPARAM>(line),
                                     reinterpret_cast<LPARAM>(buffer.data()));
    std::string text(buffer.data(), static_cast<std::size_t>(
                                        std::clamp<LRESULT>(got, 0, static_cast<LRESULT>(size))));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

int TRichEdit::LineOfPosition(int position) const {
    return static_cast<int>(SendMessageA(Handle(), EM_EXLINEFROMCHAR, 0, position));
}

void TRichEdit::GetSelection(int& start, int& end) const {
    CHARRANGE r{0, 0};
    SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    start = r.cpMin;
    end = r.cpMax;
}

void TRichEdit::SetSelection(int start, int end) {
    CHARRANGE r{start, end};
    SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void TRichEdit::CaretToEnd() {
    const int end = TextLength();
    SetSelection(end, end);
}

void TRichEdit::SetSelectionColor(COLORREF color) {
    CHARFORMAT2A f{};
    f.cbSize = sizeof f;
    f.dwMask = CFM_COLOR;
    f.crTextColor = color;
    SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
}

void TRichEdit::Append(std::string_view text, COLORREF color) {
    CaretToEnd();
    SetSelectionColor(color);
    const std::string copy(text);
    SendMessageA(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(copy.c_str()));
    CaretToEnd();
    SetSelectionColor(textColor_);
}

void TRichEdit::ScrollPageDown() {
    SendMessageA(Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
}

void TRichEdit::ScrollToCaret() {
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

void TRichEdit::HandleEnter() {
    if (!OnEnter) return;
    // The line break is inserted here rather than by the control, which does it on the
    // key on one system and on the character on another.
    if (OnEnter() == TEnterKey::LineBreak)
        SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\r"));
}

bool TRichEdit::OnOwnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_CHAR && wParam >= ' ' && typeInDefaultColor_) {
        SetSelectionColor(textColor_);
        return false;
    }
    if (!OnEnter) return false;
    if (msg == WM_KEYDOWN) {
        if (wParam != VK_RETURN) {
            enterKeysDown_ = 0;
            return false;
        }
        ++enterKeysDown_;
        HandleEnter();
        result = 0;
        return true;
    }
    if (msg == WM_CHAR && (wParam == '\r' || wParam == '\n')) {
        // The character of an Enter key already handled, or a line break typed alone.
        if (enterKeysDown_ > 0)
            --enterKeysDown_;
        else
            HandleEnter();
        result = 0;
        return true;
    }
    return false;
}
