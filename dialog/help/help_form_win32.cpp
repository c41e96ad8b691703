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
    TFormArgs f;
    f.Caption = std::string(HelpViewerCaption);
    f.ClientWidth = ClientWidth;
    f.ClientHeight = ClientHeight;
    f.Border = TFormBorder::Sizeable;
    f.Place = TFormPlace::System;
    if (!CreateForm(f)) {
        error_ = "window";
        return false;
    }

    TPanelArgs t;
    t.Parent = Handle();
    t.Rect = {0, 0, ClientWidth, ToolbarHeight};
    t.Id = ID_HELP_TOOLBAR;
    t.Bevel = TBevel::Raised;
    if (!toolbar_.Create(t)) return false;
    tips_.Create(Handle());
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const TToolDef& def = Tools[i];
        TPictureButtonArgs b;
        b.Parent = toolbar_.Handle();
        b.Rect = {def.Left, 4, 25, 25};
        b.Id = def.Id;
        b.Text = def.Tip;
        const THelpPicture picture = def.Picture;
        b.Picture = [picture](HDC dc, const RECT& area, bool enabled) {
            DrawHelpPicture(picture, dc, area, enabled);
        };
        if (!buttons_[i].Create(b)) return false;
        tips_.Add(buttons_[i].Handle(), def.Tip);
    }

    TContainerArgs g;
    g.Parent = toolbar_.Handle();
    g.Rect = {ClientWidth - AddressGroupWidth, 0, AddressGroupWidth, ToolbarHeight};
    if (!addressGroup_.Create(g)) return false;
    TLabelArgs l;
    l.Parent = addressGroup_.Handle();
    l.Rect = {8, 12, 38, 13};
    l.Text = "Адрес:";
    if (!addressLabel_.Create(l)) return false;
    TEditArgs e;
    e.Parent = addressGroup_.Handle();
    e.Rect = {48, 8, 221, 21};
    e.Id = ID_HELP_ADDRESS;
    if (!address_.Create(e)) return false;
    TButtonArgs go;
    go.Parent = addressGroup_.Handle();
    go.Rect = {276, 8, 61, 21};
    go.Text = "Перейти";
    go.Id = ID_HELP_GO;
    go.Kind = TButtonKind::Flat;
    if (!go_.Create(go)) return false;

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
