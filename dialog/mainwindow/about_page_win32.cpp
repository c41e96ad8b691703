#include "dialog/mainwindow/about_page_win32.h"

#include <shellapi.h>

#include "dialog/help/help_topics.h"
#include "dialog/mainwindow/control_ids.h"
#include "dialog/module/window_host_win32.h"

bool TAboutPage::CreateControls() {
    if (!frame_.Create({.Parent = Parent(), .Rect = {0, 0, 473, 221}}, {.Sunken = true}))
        return false;
    const HWND parent = frame_.Handle();

    productFont_ = MakeFont({"MS Sans Serif", 8, true, false, 32});
    if (!product_.Create({.Parent = parent, .Rect = {8, 48, 457, 40}, .Font = productFont_.Get()},
                         {.Align = TAlign::Center, .TextColor = RGB(255, 0, 0)}))
        return false;

    if (!version_.Create({.Parent = parent, .Rect = {8, 92, 457, 14}}, {.Align = TAlign::Center}))
        return false;

    constexpr std::string_view latestText = "Последняя версия этой программы доступна на";
    if (!latest_.Create({.Parent = parent, .Rect = {40, 140, 232, 14}, .Text = latestText},
                        {.Align = TAlign::Right}))
        return false;

    linkFont_ = MakeFont({"MS Sans Serif", 8, false, true});
    if (!link_.Create({.Parent = parent,
                       .Rect = {276, 140, 180, 14},
                       .Id = ID_ABOUT_LINK,
                       .Text = ProgramWebAddress,
                       .Font = linkFont_.Get()},
                      {.TextColor = RGB(0, 0, 255),
                       .Cursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND))}))
        return false;
    link_.OnClick = [] {
        ShellExecuteA(nullptr, "open", ProgramWebAddress, nullptr, nullptr, SW_SHOWNORMAL);
    };
    // The line and the link beside it, centred together whatever the fonts' widths.
    const int textWidth = latest_.TextWidth(latestText) + 2,
              linkWidth = link_.TextWidth(ProgramWebAddress) + 2;
    const int left = (473 - textWidth - 4 - linkWidth) / 2;
    latest_.Move({left, 140, textWidth, 14});
    link_.Move({left + textWidth + 4, 140, linkWidth, 14});

    if (!help_.Create({.Parent = parent,
                       .Rect = {(473 - 120) / 2, 176, 120, 25},
                       .Id = ID_ABOUT_HELP,
                       .Text = "Руководство (F1)"}))
        return false;
    help_.OnClick = [this] { host_.ShowHelp(TOPIC_CONTENTS); };
    return true;
}

void TAboutPage::SetTexts(std::string_view product, std::string_view version) {
    product_.SetText(product);
    version_.SetText(version);
}
