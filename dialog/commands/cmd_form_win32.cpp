#include "dialog/commands/cmd_form_win32.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/commands.h"
#include "dialog/commands/cmd_ids.h"

namespace {

constexpr int ClientWidth = 290, ClientHeight = 114;
constexpr TRect PageArea{4, 52, 285, 33};
constexpr int FieldHeight = 21;

std::vector<std::string> DelayItems() {
    return {std::begin(ShutdownDelayCodes), std::end(ShutdownDelayCodes)};
}

} // namespace

bool TCmdForm::Create(HWND owner) {
    TFormArgs args;
    args.Caption = "Редактор команд";
    args.ClientWidth = ClientWidth;
    args.ClientHeight = ClientHeight;
    args.Border = TFormBorder::Dialog;
    args.Place = TFormPlace::ScreenCenter;
    args.Owner = owner;
    if (!CreateForm(args)) return false;

    // Created in the keyboard order: description, kind, parameter page, OK, Cancel.
    TLabelArgs l;
    l.Parent = Handle();
    l.Rect = {4, 8, 54, 13};
    l.Text = "Описание:";
    if (!descriptionLabel_.Create(l)) return false;
    TEditArgs e;
    e.Parent = Handle();
    e.Rect = {60, 4, 229, FieldHeight};
    e.Id = ID_CMD_DESCRIPTION;
    if (!description_.Create(e)) return false;

    l.Rect = {4, 32, 54, 13};
    l.Text = "Команда:";
    if (!kindLabel_.Create(l)) return false;
    TComboArgs k;
    k.Parent = Handle();
    k.Rect = {60, 28, 229, FieldHeight};
    k.Id = ID_CMD_KIND;
    for (const TCmdKind& kind : CmdKinds)
        k.Items.emplace_back(kind.Caption);
    if (!kind_.Create(k)) return false;
    // The field is narrower than the longest kinds; the open list shows them whole.
    int widest = 0;
    for (const TCmdKind& kind : CmdKinds)
        widest = std::max(widest, kind_.TextWidth(kind.Caption));
    SendMessageA(kind_.Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + 24), 0);
    kind_.OnChange = [this] { ShowPage(kind_.Selected()); };

    if (!CreatePages()) return false;

    TButtonArgs b;
    b.Parent = Handle();
    b.Rect = {212, 88, 75, 25};
    b.Text = "OK";
    b.Id = ID_CMD_OK;
    b.Kind = TButtonKind::Default;
    if (!ok_.Create(b)) return false;
    ok_.OnClick = [this] { OkClick(); };
    b.Rect = {132, 88, 75, 25};
    b.Text = "Отмена";
    b.Id = ID_CMD_CANCEL;
    b.Kind = TButtonKind::Cancel;
    if (!cancel_.Create(b)) return false;
    cancel_.OnClick = [this] { SetModalResult(MR_CANCEL); };

    ShowPage(-1); // a new command has no kind yet
    description_.Focus();
    return true;
}

bool TCmdForm::CreatePages() {
    for (int i = 0; i < CmdKindCount; ++i) {
        TContainerArgs p;
        p.Parent = Handle();
        p.Rect = PageArea;
        p.Visible = false;
        if (!pages_[static_cast<std::size_t>(i)].Create(p)) return false;
        if (CmdKinds[i].Parameter != TCmdParameter::None) continue;
        TLabelArgs n;
        n.Parent = pages_[static_cast<std::size_t>(i)].Handle();
        n.Rect = {0, 10, PageArea.Width, 13};
        n.Id = ID_CMD_NO_PARAMETERS + i;
        n.Text = "Нет дополнительных параметров";
        n.Align = TAlign::Center;
        if (!noParameters_[static_cast<std::size_t>(i)].Create(n)) return false;
    }
    auto label = [](TLabel& label, HWND parent, TRect rect, const char* text) {
        TLabelArgs a;
        a.Parent = parent;
        a.Rect = rect;
        a.Text = text;
        return label.Create(a);
    };
    auto edit = [](TEdit& edit, HWND parent, TRect rect, int id, int maxLength) {
        TEditArgs a;
        a.Parent = parent;
        a.Rect = rect;
        a.Id = id;
        a.MaxLength = maxLength;
        return edit.Create(a);
    };
    auto delays = [](TComboBox& combo, HWND parent, TRect rect, int id) {
        TComboArgs a;
        a.Parent = parent;
        a.Rect = rect;
        a.Id = id;
        a.Items = DelayItems();
        a.DropHeight = 240;
        return combo.Create(a);
    };
    const HWND minutesPage = pages_[2].Handle(), delayPage = pages_[4].Handle(),
               restorePage = pages_[5].Handle(), textPage = pages_[8].Handle();
    return label(minutesLabel_, minutesPage, {4, 4, 110, 13}, "Прододжительность:") &&
           edit(minutes_, minutesPage, {116, 0, 49, FieldHeight}, ID_CMD_MINUTES, 2) &&
           label(minutesUnit_, minutesPage, {172, 4, 100, 13}, "сек. (1-99)") &&
           label(delayLabel_, delayPage, {0, 4, 94, 13}, "Выключить через:") &&
           delays(delay_, delayPage, {96, 0, 61, FieldHeight}, ID_CMD_DELAY) &&
           label(delayUnit_, delayPage, {164, 4, 40, 13}, "мин.") &&
           label(offLabel_, restorePage, {0, 4, 70, 13}, "Выкл. через:") &&
           delays(restoreDelay_, restorePage, {72, 0, 69, FieldHeight}, ID_CMD_RESTORE_DELAY) &&
           label(onLabel_, restorePage, {144, 4, 58, 13}, "Вкл. через:") &&
           edit(switchOn_, restorePage, {204, 0, 73, FieldHeight}, ID_CMD_SWITCH_ON, 4) &&
           label(textLabel_, textPage, {0, 4, 82, 13}, "Текст команды:") &&
           edit(commandText_, textPage, {84, 0, 189, FieldHeight}, ID_CMD_TEXT, 0);
}

void TCmdForm::ShowPage(int page) {
    for (int i = 0; i < CmdKindCount; ++i)
        pages_[static_cast<std::size_t>(i)].Show(i == page);
}

void TCmdForm::LoadCommand(const TCustomCommand& record) {
    record_ = record;
    ShowFields(FieldsFromRecord(record));
}

void TCmdForm::ShowFields(const TCmdFields& f) {
    description_.SetText(f.Description);
    kind_.Select(f.Kind);
    minutes_.SetText(f.Minutes);
    delay_.Select(f.Delay);
    restoreDelay_.Select(f.RestoreDelay);
    switchOn_.SetText(f.SwitchOn);
    commandText_.SetText(f.CommandText);
    ShowPage(f.Kind);
}

TCmdFields TCmdForm::ReadFields() const {
    TCmdFields f;
    f.Description = description_.Text();
    f.Kind = kind_.Selected();
    f.Minutes = minutes_.Text();
    f.Delay = delay_.Selected();
    f.RestoreDelay = restoreDelay_.Selected();
    f.SwitchOn = switchOn_.Text();
    f.CommandText = commandText_.Text();
    return f;
}

void TCmdForm::OkClick() {
    if (const std::optional<TCustomCommand> built = RecordFromFields(record_, ReadFields())) {
        record_ = *built;
        SetModalResult(MR_OK);
        return;
    }
    // Everything stays as typed, for the user to mend.
    MessageBoxA(Handle(), "Неправильно заполнено одно из обязятельных полей.", "Внимание!",
                MB_OK | MB_ICONWARNING);
}
