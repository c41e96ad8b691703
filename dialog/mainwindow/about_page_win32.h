#pragma once
#include <array>

#include "dialog/mainwindow/page_win32.h"
#include "dialog/ui/controls_win32.h"

// The program's web page, behind the about page's link.
inline constexpr char ProgramWebAddress[] = "https://kovrin.example.org/";

// "О программе": the product's name and version, and the link to its web page.
class TAboutPage : public TPage {
public:
    using TPage::TPage;
    void SetTexts(std::string_view product, std::string_view version);

protected:
    bool CreateControls() override;

private:
    TContainer frame_;
    TLabel product_, version_, latest_, link_;
    TButton help_; // the user manual
    TFontHandle productFont_, linkFont_;
};
