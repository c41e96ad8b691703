#include "dialog/help/help_form_win32.h"

#include <algorithm>

#include "dialog/help/help_ids.h"
#include "dialog/help/help_pictures_win32.h"

namespace {

constexpr int ClientWidth = 617, ClientHeight = 404, ToolbarHeight = 33;
constexpr int AddressGroupWidth = 341;

struct TToolDef {
    THelpPicture Picture;
    const char* Tip;
    int Left;
    int Id;
};
const TToolDef Tools[] = {
    {THelpPicture::Back, "Назад", 4, ID_HELP_BACK},
    {THelpPicture::Forward, "Вперед", 32, ID_HELP_FORWARD},
    {THelpPicture::Contents, "К оглавлению", 72, ID_HELP_CONTENTS},
    {THelpPicture::Home, "Домашняя страничка автора программы", 100, ID_HELP_HOME},
    {THelpPicture::Stop, "Стоп", 128, ID_HELP_STOP},
};

} // namespace

THelpForm::THelpForm() = default;

THelpForm::~THelpForm() {
    navigator_.reset();
    browser_.reset(); // the control goes before the windows it lives in
    Destroy();
}

bool THelpForm::Create(const TBrowserFactory& factory) {
    if (!CreateForm({.Caption = std::string(HelpViewerCaption),
                     .ClientWidth = ClientWidth,
                     .ClientHeight = ClientHeight,
                     .Border = TFormBorder::Sizeable,
                     .Place = TFormPlace::System})) {
        error_ = "window";
        return false;
    }

    if (!toolbar_.Create(
            {.Parent = Handle(), .Rect = {0, 0, ClientWidth, ToolbarHeight}, .Id = ID_HELP_TOOLBAR},
            {.Bevel = TBevel::Raised}))
        return false;
    tips_.Create(Handle());
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const TToolDef& def = Tools[i];
        const THelpPicture picture = def.Picture;
        if (!buttons_[i].Create({.Parent = toolbar_.Handle(),
                                 .Rect = {def.Left, 4, 25, 25},
                                 .Id = def.Id,
                                 .Text = def.Tip},
                                {.Picture = [picture](HDC dc, const RECT& area, bool enabled) {
                                    DrawHelpPicture(picture, dc, area, enabled);
                                }}))
            return false;
        tips_.Add(buttons_[i].Handle(), def.Tip);
    }

    if (!addressGroup_.Create(
            {.Parent = toolbar_.Handle(),
             .Rect = {ClientWidth - AddressGroupWidth, 0, AddressGroupWidth, ToolbarHeight}}))
        return false;
    if (!addressLabel_.Create(
            {.Parent = addressGroup_.Handle(), .Rect = {8, 12, 38, 13}, .Text = "Адрес:"}))
        return false;
    if (!address_.Create(
            {.Parent = addressGroup_.Handle(), .Rect = {48, 8, 221, 21}, .Id = ID_HELP_ADDRESS}))
        return false;
    if (!go_.Create({.Parent = addressGroup_.Handle(),
                     .Rect = {276, 8, 61, 21},
                     .Id = ID_HELP_GO,
                     .Text = "Перейти"},
                    {.Kind = TButtonKind::Flat}))
        return false;

    browser_ =
        factory(Handle(), {0, ToolbarHeight, ClientWidth, ClientHeight - ToolbarHeight}, error_);
    if (!browser_) return false;
    navigator_ = std::make_unique<THelpNavigator>(
        *browser_, [] { MessageBeep(0); },
        [this](const std::string& url) { address_.SetText(url); });

    buttons_[0].OnClick = [this] { navigator_->Back(); };
    buttons_[1].OnClick = [this] { navigator_->Forward(); };
    buttons_[2].OnClick = [this] { navigator_->Contents(); };
    // The author's home page: the button is there, without an action.
    buttons_[4].OnClick = [this] { navigator_->Stop(); };
    go_.OnClick = [this] { navigator_->Go(address_.Text()); };

    RECT client{};
    GetClientRect(Handle(), &client);
    Layout(client.right, client.bottom);
    return true;
}

bool THelpForm::OpenTopic(std::string_view documentPath, std::string_view anchor) {
    return navigator_ && navigator_->OpenTopic(documentPath, anchor);
}

void THelpForm::Layout(int width, int height) {
    MoveWindow(toolbar_.Handle(), 0, 0, width, ToolbarHeight, TRUE);
    // The address group keeps to the tool bar's right edge, but never over the buttons.
    const int groupLeft = std::max(156, width - AddressGroupWidth);
    MoveWindow(addressGroup_.Handle(), groupLeft, 0, AddressGroupWidth, ToolbarHeight, TRUE);
    if (browser_) browser_->Move({0, ToolbarHeight, width, std::max(0, height - ToolbarHeight)});
}

bool THelpForm::HandleDialogKey(const MSG& msg) {
    const HWND focus = GetFocus();
    if (browser_ && focus && IsChild(browser_->Window(), focus) && browser_->TranslateKey(msg))
        return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && focus == address_.Handle()) {
        navigator_->Go(address_.Text());
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        Close();
        return true;
    }
    return TForm::HandleDialogKey(msg);
}

LRESULT THelpForm::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        // Room for the tool bar's buttons and the address line.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = 520;
        info->ptMinTrackSize.y = 200;
        return 0;
    }
    default:
        return TForm::OnMessage(msg, wParam, lParam);
    }
}
