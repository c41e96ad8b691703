#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "dialog/ui/control_win32.h"
#include "dialog/ui/gdi_win32.h"

// A rich edit control ("RichEdit20A", RICHEDIT 2.0 or later; the user-interface thread
// loads riched20.dll before any window exists). It loads and saves Rich Text Format
// through EM_STREAMIN/EM_STREAMOUT and appends coloured text at its end.
struct TRichEditStyle {
    bool ReadOnly = false;
    bool HScroll = true, VScroll = true; // shown always, greyed while there is nothing to scroll
    COLORREF BackColor = CLR_INVALID;    // the window colour when invalid
    TFontSpec Font{};                    // the default character format...
    BYTE CharSet = DEFAULT_CHARSET;
    BYTE PitchAndFamily = DEFAULT_PITCH; // FIXED_PITCH | FF_MODERN for a terminal
    COLORREF TextColor = CLR_INVALID;    // ...and its colour (the system's when invalid)
    int TextLimit = 64 * 1024 * 1024;    // characters; the control's own default is 32767
    // What the user types takes the default colour, whatever colour the text around it
    // has (the control would continue the colour of the character before the caret).
    bool TypeInDefaultColor = false;
};

enum class TEnterKey {
    Swallow,   // nothing happens
    LineBreak, // the control inserts a line break at the caret
};

class TRichEdit : public TControl {
public:
    bool Create(const TControlArgs& args, const TRichEditStyle& style = {});

    // The whole contents replaced by a document; false when the control took nothing.
    bool LoadRtf(std::string_view rtf);
    bool LoadText(std::string_view text);
    // The whole contents as a document.
    std::string SaveRtf() const;

    // Text positions count a line break as one character.
    int TextLength() const;
    int LineCount() const;
    int LineStart(int line) const;
    int LineLength(int line) const;
    std::string LineText(int line) const; // without its line break
    int LineOfPosition(int position) const;
    void GetSelection(int& start, int& end) const;
    void SetSelection(int start, int end);
    void CaretToEnd();

    // Appends text at the end in a colour; the caret is left at the end, and what is typed
    // there afterwards has the default colour again.
    void Append(std::string_view text, COLORREF color);
    // The default character format given to all the text: the font, and the colour too
    // when asked (else each part keeps its own).
    void ApplyDefaultFormat(bool withColor);
    COLORREF DefaultColor() const { return textColor_; }

    void ScrollPageDown();
    void ScrollToCaret();

    // Enter (the key, or a line break typed as a character): the handler decides. Without
    // a handler the control treats it as usual.
    std::function<TEnterKey()> OnEnter;

protected:
    bool OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void SetSelectionColor(COLORREF color);
    void HandleEnter();
    TFontSpec font_;
    BYTE charSet_ = DEFAULT_CHARSET;
    BYTE pitchAndFamily_ = DEFAULT_PITCH;
    COLORREF textColor_ = 0;
    bool typeInDefaultColor_ = false;
    int enterKeysDown_ = 0; // Enter keys whose character is still to come
};
