#pragma once
#include <memory>
#include <string>

#include "dialog/ui/controls_win32.h"
#include "dialog/ui/edit_mask.h"

struct TMaskEditStyle {
    std::string Mask{}; // e.g. "!99/99/00;1;_"
    char DateSeparator = '.';
    char TimeSeparator = ':';
};

// An edit box that holds a fixed mask: digits go into its places, the literals stay, and
// the box always shows the whole mask (empty places as the mask's blank). Text set from
// outside (WM_SETTEXT) goes through the mask as well; cut, paste and deletion keep it.
class TMaskEdit : public TEdit {
public:
    bool Create(const TControlArgs& args, const TMaskEditStyle& style = {});
    // The text with empty places as blanks, as conversions read it.
    std::string Value() const;

private:
    bool OnOwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Show(const std::string& shown, std::size_t caret);
    std::string ClipboardText() const;
    std::unique_ptr<TEditMask> mask_;
};
