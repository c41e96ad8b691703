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
    TFormArgs args;
    args.Caption = "Сетевой сервер ИБП";
    args.ClientWidth = ClientWidth;
    args.ClientHeight = ClientHeight;
    args.Border = TFormBorder::Dialog;
    args.Place = TFormPlace::ScreenCenter;
    args.Owner = owner;
    if (!CreateForm(args)) return false;

    // Created in the keyboard order.
    TButtonArgs box;
    box.Parent = Handle();
    box.Rect = {LabelLeft, 8, ClientWidth - 16, 17};
    box.Text = "Предоставлять ИБП компьютерам сети (протокол NUT)";
    box.Id = ID_NETWORK_ENABLED;
    box.Kind = TButtonKind::Check;
    if (!enabled_.Create(box)) return false;
    enabled_.OnClick = [this] { EnabledClick(); };

    TContainerArgs g;
    g.Parent = Handle();
    g.Rect = {LabelLeft - 4, 32, ClientWidth - 8, 176};
    g.Caption = " Сервер ";
    g.Frame = true;
    if (!group_.Create(g)) return false;
    const HWND parent = group_.Handle();
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        TLabelArgs l;
        l.Parent = parent;
        l.Rect = FormLabels[i].Rect;
        l.Text = FormLabels[i].Text;
        if (!labels_[i].Create(l)) return false;
    }
    auto edit = [parent](TEdit& field, int row, int width, int id, int maxLength) {
        TEditArgs e;
        e.Parent = parent;
        e.Rect = {FieldLeft, RowTop[row], width, FieldHeight};
        e.Id = id;
        e.MaxLength = maxLength;
        return field.Create(e);
    };
    // Eight addresses of 15 characters with their separators fit the monitor's line reader.
    if (!edit(listen_, 0, 280, ID_NETWORK_LISTEN, 200)) return false;
    listen_.OnChange = [this] { ShowFirewallHint(); };
    TSpinArgs p;
    p.Parent = parent;
    p.Rect = {FieldLeft, RowTop[1], 64, FieldHeight};
    p.Id = ID_NETWORK_PORT;
    p.Min = 1;
    p.Max = 65535;
    p.Step = 1;
    p.Value = DefaultNutTcpPort;
    if (!port_.Create(p)) return false;
    const int nameLength = static_cast<int>(MaxNutNameLength);
    if (!edit(upsName_, 2, 130, ID_NETWORK_UPSNAME, nameLength) ||
        !edit(user_, 3, 130, ID_NETWORK_USER, nameLength) ||
        !edit(password_, 4, 130, ID_NETWORK_PASSWORD, nameLength))
        return false;
    SendMessageA(password_.Handle(), EM_SETPASSWORDCHAR, '*', 0);

    TLabelArgs f;
    f.Parent = Handle();
    f.Rect = {LabelLeft, 216, ClientWidth - 16, 28};
    f.Id = ID_NETWORK_FIREWALL;
    f.Text = "Если сервер слушает не только 127.0.0.1, разрешите входящие подключения к этому "
             "порту TCP в брандмауэре Windows.";
    if (!firewall_.Create(f)) return false;

    TButtonArgs b;
    b.Parent = Handle();
    b.Rect = {ClientWidth - 8 - 75 - 4 - 75, ClientHeight - 8 - 25, 75, 25};
    b.Text = "OK";
    b.Id = ID_NETWORK_OK;
    b.Kind = TButtonKind::Default;
    if (!ok_.Create(b)) return false;
    ok_.OnClick = [this] { OkClick(); };
    b.Rect = {ClientWidth - 8 - 75, ClientHeight - 8 - 25, 75, 25};
    b.Text = "Отмена";
    b.Id = ID_NETWORK_CANCEL;
    b.Kind = TButtonKind::Cancel;
    if (!cancel_.Create(b)) return false;
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
