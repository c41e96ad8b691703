#include "dialog/mainwindow/network_form_win32.h"

#include "dialog/mainwindow/network_ids.h"
#include "dialog/mainwindow/network_settings.h"

namespace {

constexpr int ClientWidth = 400, ClientHeight = 282;
constexpr int LabelLeft = 8, FieldLeft = 100, FieldHeight = 21;
constexpr int RowTop[] = {20, 66, 92, 118, 144}; // addresses, port, UPS name, user, password

struct TLabelDef {
    const char* Text;
    TRect Rect;
};
const TLabelDef FormLabels[] = {
    {"Адреса:", {LabelLeft, RowTop[0] + 4, 90, 13}},
    {"127.0.0.1 - этот компьютер; 0.0.0.0 - все адреса.", {FieldLeft, RowTop[0] + 24, 280, 13}},
    {"Порт TCP:", {LabelLeft, RowTop[1] + 4, 90, 13}},
    {"Имя ИБП:", {LabelLeft, RowTop[2] + 4, 90, 13}},
    {"Пользователь:", {LabelLeft, RowTop[3] + 4, 90, 13}},
    {"Пароль:", {LabelLeft, RowTop[4] + 4, 90, 13}},
    {"пустой - только чтение", {FieldLeft + 136, RowTop[4] + 4, 130, 13}},
};

} // namespace

bool TNetworkForm::Create(HWND owner, const TNetServerSettings& settings) {
    settings_ = settings;
    if (!CreateForm({.Caption = "Сетевой сервер ИБП",
                     .ClientWidth = ClientWidth,
                     .ClientHeight = ClientHeight,
                     .Border = TFormBorder::Dialog,
                     .Place = TFormPlace::ScreenCenter,
                     .Owner = owner}))
        return false;

    // Created in the keyboard order.
    if (!enabled_.Create({.Parent = Handle(),
                          .Rect = {LabelLeft, 8, ClientWidth - 16, 17},
                          .Id = ID_NETWORK_ENABLED,
                          .Text = "Предоставлять ИБП компьютерам сети (протокол NUT)"},
                         {.Kind = TButtonKind::Check}))
        return false;
    enabled_.OnClick = [this] { EnabledClick(); };

    if (!group_.Create({.Parent = Handle(),
                        .Rect = {LabelLeft - 4, 32, ClientWidth - 8, 176},
                        .Text = " Сервер "},
                       {.Frame = true}))
        return false;
    const HWND parent = group_.Handle();
    for (std::size_t i = 0; i < labels_.size(); ++i)
        if (!labels_[i].Create(
                {.Parent = parent, .Rect = FormLabels[i].Rect, .Text = FormLabels[i].Text}))
            return false;
    auto edit = [parent](TEdit& field, int row, int width, int id, int maxLength) {
        return field.Create(
            {.Parent = parent, .Rect = {FieldLeft, RowTop[row], width, FieldHeight}, .Id = id},
            {.MaxLength = maxLength});
    };
    // Eight addresses of 15 characters with their separators fit the monitor's line reader.
    if (!edit(listen_, 0, 280, ID_NETWORK_LISTEN, 200)) return false;
    listen_.OnChange = [this] { ShowFirewallHint(); };
    if (!port_.Create({.Parent = parent,
                       .Rect = {FieldLeft, RowTop[1], 64, FieldHeight},
                       .Id = ID_NETWORK_PORT},
                      {.Min = 1, .Max = 65535, .Step = 1, .Value = DefaultNutTcpPort}))
        return false;
    const int nameLength = static_cast<int>(MaxNutNameLength);
    if (!edit(upsName_, 2, 130, ID_NETWORK_UPSNAME, nameLength) ||
        !edit(user_, 3, 130, ID_NETWORK_USER, nameLength) ||
        !edit(password_, 4, 130, ID_NETWORK_PASSWORD, nameLength))
        return false;
    SendMessageA(password_.Handle(), EM_SETPASSWORDCHAR, '*', 0);

    if (!firewall_.Create(
            {.Parent = Handle(),
             .Rect = {LabelLeft, 216, ClientWidth - 16, 28},
             .Id = ID_NETWORK_FIREWALL,
             .Text = "Если сервер слушает не только 127.0.0.1, разрешите входящие подключения к "
                     "этому порту TCP в брандмауэре Windows."}))
        return false;

    constexpr int ButtonTop = ClientHeight - 8 - 25;
    if (!ok_.Create({.Parent = Handle(),
                     .Rect = {ClientWidth - 8 - 75 - 4 - 75, ButtonTop, 75, 25},
                     .Id = ID_NETWORK_OK,
                     .Text = "OK"},
                    {.Kind = TButtonKind::Default}))
        return false;
    ok_.OnClick = [this] { OkClick(); };
    if (!cancel_.Create({.Parent = Handle(),
                         .Rect = {ClientWidth - 8 - 75, ButtonTop, 75, 25},
                         .Id = ID_NETWORK_CANCEL,
                         .Text = "Отмена"},
                        {.Kind = TButtonKind::Cancel}))
        return false;
    cancel_.OnClick = [this] { SetModalResult(MR_CANCEL); };

    enabled_.SetChecked(settings_.Enabled);
    listen_.SetText(settings_.Listen);
    port_.SetValue(settings_.Port);
    upsName_.SetText(settings_.UpsName);
    user_.SetText(settings_.User);
    password_.SetText(settings_.Password);
    EnabledClick();
    enabled_.Focus();
    return true;
}

TNetServerSettings TNetworkForm::ReadFields() const {
    TNetServerSettings s;
    s.Enabled = enabled_.Checked();
    s.Listen = listen_.Text();
    s.Port = static_cast<std::uint16_t>(port_.Value());
    s.UpsName = upsName_.Text();
    s.User = user_.Text();
    s.Password = password_.Text();
    return s;
}

// The fields count only while the server is on: they are shown greyed otherwise.
void TNetworkForm::EnabledClick() {
    const bool on = enabled_.Checked();
    for (TEdit* field : {&listen_, &upsName_, &user_, &password_})
        field->Enable(on);
    port_.EnableSpin(on);
    for (TLabel& label : labels_)
        label.Enable(on);
    ShowFirewallHint();
}

// In dark red while the addresses reach beyond this computer.
void TNetworkForm::ShowFirewallHint() {
    const bool beyond = enabled_.Checked() && ListensBeyondThisComputer(ReadFields());
    firewall_.SetTextColor(beyond ? RGB(128, 0, 0) : CLR_INVALID);
}

void TNetworkForm::OkClick() {
    port_.SetValue(port_.Value()); // a typed port is shown as it is taken
    const TNetServerSettings typed = ReadFields();
    const TNetworkCheck check = CheckNetworkSettings(typed);
    if (check.Field == TNetworkField::None) {
        settings_ = typed;
        SetModalResult(MR_OK);
        return;
    }
    // Everything stays as typed, for the user to mend.
    MessageBoxA(Handle(), check.Message.c_str(), "Ошибка", MB_OK | MB_ICONERROR);
    TEdit* field = check.Field == TNetworkField::Listen    ? &listen_
                   : check.Field == TNetworkField::UpsName ? &upsName_
                   : check.Field == TNetworkField::User    ? &user_
                                                           : &password_;
    field->Focus();
    field->SelectAll();
}
