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
    if (!CreateForm({.Caption = "Редактор команд",
                     .ClientWidth = ClientWidth,
                     .ClientHeight = ClientHeight,
                     .Border = TFormBorder::Dialog,
                     .Place = TFormPlace::ScreenCenter,
                     .Owner = owner}))
        return false;

    // Created in the keyboard order: description, kind, parameter page, OK, Cancel.
    if (!descriptionLabel_.Create(
            {.Parent = Handle(), .Rect = {4, 8, 54, 13}, .Text = "Описание:"}))
        return false;
    if (!description_.Create(
            {.Parent = Handle(), .Rect = {60, 4, 229, FieldHeight}, .Id = ID_CMD_DESCRIPTION}))
        return false;

    if (!kindLabel_.Create({.Parent = Handle(), .Rect = {4, 32, 54, 13}, .Text = "Команда:"}))
        return false;
    std::vector<std::string> kinds;
    for (const TCmdKind& kind : CmdKinds)
        kinds.emplace_back(kind.Caption);
    if (!kind_.Create({.Parent = Handle(), .Rect = {60, 28, 229, FieldHeight}, .Id = ID_CMD_KIND},
                      {.Items = kinds}))
        return false;
    // The field is narrower than the longest kinds; the open list shows them whole.
    int widest = 0;
    for (const TCmdKind& kind : CmdKinds)
        widest = std::max(widest, kind_.TextWidth(kind.Caption));
    SendMessageA(kind_.Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + 24), 0);
    kind_.OnChange = [this] { ShowPage(kind_.Selected()); };

    if (!CreatePages()) return false;

    if (!ok_.Create({.Parent = Handle(), .Rect = {212, 88, 75, 25}, .Id = ID_CMD_OK, .Text = "OK"},
                    {.Kind = TButtonKind::Default}))
        return false;
    ok_.OnClick = [this] { OkClick(); };
    if (!cancel_.Create(
            {.Parent = Handle(), .Rect = {132, 88, 75, 25}, .Id = ID_CMD_CANCEL, .Text = "Отмена"},
            {.Kind = TButtonKind::Cancel}))
        return false;
    cancel_.OnClick = [this] { SetModalResult(MR_CANCEL); };

    ShowPage(-1); // a new command has no kind yet
    description_.Focus();
    return true;
}

bool TCmdForm::CreatePages() {
    for (int i = 0; i < CmdKindCount; ++i) {
        if (!pages_[static_cast<std::size_t>(i)].Create(
                {.Parent = Handle(), .Rect = PageArea, .Visible = false}))
            return false;
        if (CmdKinds[i].Parameter != TCmdParameter::None) continue;
        if (!noParameters_[static_cast<std::size_t>(i)].Create(
                {.Parent = pages_[static_cast<std::size_t>(i)].Handle(),
                 .Rect = {0, 10, PageArea.Width, 13},
                 .Id = ID_CMD_NO_PARAMETERS + i,
                 .Text = "Нет дополнительных параметров"},
                {.Align = TAlign::Center}))
            return false;
    }
    auto label = [](TLabel& label, HWND parent, TRect rect, const char* text) {
        return label.Create({.Parent = parent, .Rect = rect, .Text = text});
    };
    auto edit = [](TEdit& edit, HWND parent, TRect rect, int id, int maxLength) {
        return edit.Create({.Parent = parent, .Rect = rect, .Id = id}, {.MaxLength = maxLength});
    };
    auto delays = [](TComboBox& combo, HWND parent, TRect rect, int id) {
        return combo.Create({.Parent = parent, .Rect = rect, .Id = id},
                            {.DropHeight = 240, .Items = DelayItems()});
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
