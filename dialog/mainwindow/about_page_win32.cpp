#include "dialog/mainwindow/about_page_win32.h"

#include <shellapi.h>

#include "dialog/help/help_topics.h"
#include "dialog/mainwindow/control_ids.h"
#include "dialog/module/window_host_win32.h"

bool TAboutPage::CreateControls() {
    TContainerArgs f;
    f.Parent = Parent();
    f.Rect = {0, 0, 473, 221};
    f.Sunken = true;
    if (!frame_.Create(f)) return false;
    const HWND parent = frame_.Handle();

    productFont_ = MakeFont({"MS Sans Serif", 8, true, false, 32});
    TLabelArgs l;
    l.Parent = parent;
    l.Rect = {8, 48, 457, 40};
    l.Align = TAlign::Center;
    l.Font = productFont_.Get();
    l.TextColor = RGB(255, 0, 0);
    if (!product_.Create(l)) return false;

    TLabelArgs v;
    v.Parent = parent;
    v.Rect = {8, 92, 457, 14};
    v.Align = TAlign::Center;
    if (!version_.Create(v)) return false;

    TLabelArgs t;
    t.Parent = parent;
    t.Rect = {40, 140, 232, 14};
    t.Align = TAlign::Right;
    t.Text = "Последняя версия этой программы доступна на";
    if (!latest_.Create(t)) return false;

    linkFont_ = MakeFont({"MS Sans Serif", 8, false, true});
    TLabelArgs a;
    a.Parent = parent;
    a.Rect = {276, 140, 180, 14};
    a.Text = ProgramWebAddress;
    a.Id = ID_ABOUT_LINK;
    a.Font = linkFont_.Get();
    a.TextColor = RGB(0, 0, 255);
    a.Cursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
    if (!link_.Create(a)) return false;
    link_.OnClick = [] {
        ShellExecuteA(nullptr, "open", ProgramWebAddress, nullptr, nullptr, SW_SHOWNORMAL);
    };
    // The line and the link beside it, centred together whatever the fonts' widths.
    const int textWidth = latest_.TextWidth(t.Text) + 2,
              linkWidth = link_.TextWidth(ProgramWebAddress) + 2;
    const int left = (473 - textWidth - 4 - linkWidth) / 2;
    latest_.Move({left, 140, textWidth, 14});
    link_.Move({left + textWidth + 4, 140, linkWidth, 14});

    TButtonArgs h;
    h.Parent = parent;
    h.Rect = {(473 - 120) / 2, 176, 120, 25};
    h.Text = "Руководство (F1)";
    h.Id = ID_ABOUT_HELP;
    if (!help_.Create(h)) return false;
    help_.OnClick = [this] { host_.ShowHelp(TOPIC_CONTENTS); };
    return true;
}

void TAboutPage::SetTexts(std::string_view product, std::string_view version) {
    product_.SetText(product);
    version_.SetText(version);
}
