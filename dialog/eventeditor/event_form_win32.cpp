#include "dialog/eventeditor/event_form_win32.h"

#include "common/events.h"
#include "dialog/eventeditor/event_form_ids.h"
#include "dialog/module/window_host_win32.h"
#include "dialog/ui/file_dialog_win32.h"
#include "dialog/ui/popup_menu_win32.h"

namespace {

constexpr int ClientWidth = 306, ClientHeight = 150;
constexpr int LabelLeft = 8, ListLeft = 110, ListWidth = 188;
constexpr TRect SourceArea{8, 34, 290, 23}, ActionArea{8, 88, 290, 23};
constexpr int FieldLeft = 102, FieldWidth = 188;

constexpr char FileFilter[] = "Программы|*.exe;*.com|Пакетные файлы|*.bat;*.cmd|Все файлы|*.*";

// The actions with a field of their own, in the order of actionPages_.
constexpr int FieldActions[4] = {ACT_SCREENMESSAGE, ACT_RUNPROGRAM, ACT_UPSCOMMAND,
                                 ACT_JOURNALMESSAGE};

template <std::size_t N> std::vector<std::string> Captions(const std::string_view (&list)[N]) {
    return std::vector<std::string>(std::begin(list), std::end(list));
}

} // namespace

TEventForm::TEventForm(TWindowHost& host) : host_(host) {}

TEventForm::~TEventForm() {
    Destroy(); // the controls go with the window before their objects do
}

bool TEventForm::Create() {
    if (!CreateForm({.Caption = "Редактор событий",
                     .ClientWidth = ClientWidth,
                     .ClientHeight = ClientHeight,
                     .Border = TFormBorder::Dialog,
                     .Place = TFormPlace::ScreenCenter,
                     .Owner = host_.Owner()}))
        return false;

    if (!sourceLabel_.Create({.Parent = Handle(),
                              .Rect = {LabelLeft, 12, ListLeft - LabelLeft - 2, 13},
                              .Id = ID_EVENT_SOURCELABEL,
                              .Text = "Источник события:"}))
        return false;
    if (!source_.Create(
            {.Parent = Handle(), .Rect = {ListLeft, 8, ListWidth, 21}, .Id = ID_EVENT_SOURCE},
            {.DropHeight = 250, .Items = Captions(EventSourceCaptions)}))
        return false;
    source_.OnChange = [this] { ShowPages(); };
    if (!CreateSourceArea()) return false;

    if (!actionLabel_.Create({.Parent = Handle(),
                              .Rect = {LabelLeft, 66, ListLeft - LabelLeft - 2, 13},
                              .Id = ID_EVENT_ACTIONLABEL,
                              .Text = "Действие:"}))
        return false;
    if (!action_.Create(
            {.Parent = Handle(), .Rect = {ListLeft, 62, ListWidth, 21}, .Id = ID_EVENT_ACTION},
            {.DropHeight = 180, .Items = Captions(ActionCaptions)}))
        return false;
    action_.OnChange = [this] { ShowPages(); };
    if (!CreateActionArea()) return false;

    if (!ok_.Create({.Parent = Handle(),
                     .Rect = {ClientWidth - 8 - 75 - 4 - 75, 118, 75, 25},
                     .Id = ID_EVENT_OK,
                     .Text = "OK"},
                    {.Kind = TButtonKind::Default}))
        return false;
    ok_.OnClick = [this] { OkClick(); };
    if (!cancel_.Create({.Parent = Handle(),
                         .Rect = {ClientWidth - 8 - 75, 118, 75, 25},
                         .Id = ID_EVENT_CANCEL,
                         .Text = "Отмена"},
                        {.Kind = TButtonKind::Cancel}))
        return false;
    cancel_.OnClick = [this] { SetModalResult(MR_CANCEL); };

    for (const TCustomCommand& command : host_.Commands()) {
        commandItems_.push_back(CommandItem(command));
        upsCommand_.Add(commandItems_.back());
    }
    rule_ = TEventRule{};
    ShowPages();
    return true;
}

bool TEventForm::CreateSourceArea() {
    const TControlArgs page{
        .Parent = Handle(), .Rect = SourceArea, .Visible = false, .Font = Font()};
    if (!sourceNone_.Create(page) || !expression_.Create(page)) return false;

    if (!sourceNoneText_.Create({.Parent = sourceNone_.Handle(),
                                 .Rect = {0, 5, SourceArea.Width, 13},
                                 .Id = ID_EVENT_SOURCENONE,
                                 .Text = "Нет параметров",
                                 .Enabled = false}))
        return false;

    std::vector<std::string> variables;
    for (const TVariableDef& v : Variables)
        variables.emplace_back(v.Caption);
    if (!variable_.Create(
            {.Parent = expression_.Handle(), .Rect = {0, 0, 140, 21}, .Id = ID_EVENT_VARIABLE},
            {.DropHeight = 160, .Items = variables}))
        return false;
    variable_.OnChange = [this] { VariableChanged(); };
    if (!operator_.Create(
            {.Parent = expression_.Handle(), .Rect = {144, 0, 44, 21}, .Id = ID_EVENT_OPERATOR},
            {.DropHeight = 110, .Items = Captions(Operators)}))
        return false;

    if (!number_.Create({.Parent = expression_.Handle(),
                         .Rect = {192, 0, SourceArea.Width - 192, 21},
                         .Id = ID_EVENT_NUMBER,
                         .Text = "0"},
                        {.MaxLength = 255}))
        return false;
    number_.OnContextMenu = [this](POINT at) { return MacroMenu(number_, at); };
    return true;
}

bool TEventForm::AddActionField(int action, const char* label, TEdit* edit, int editWidth) {
    const std::size_t i = static_cast<std::size_t>(action - ACT_SCREENMESSAGE);
    if (!actionPages_[i].Create(
            {.Parent = Handle(), .Rect = ActionArea, .Visible = false, .Font = Font()}))
        return false;
    if (!actionLabels_[i].Create({.Parent = actionPages_[i].Handle(),
                                  .Rect = {0, 4, FieldLeft - 2, 13},
                                  .Id = ID_EVENT_PARAMLABEL + action,
                                  .Text = label}))
        return false;
    if (!edit) return true;
    const int id = action == ACT_SCREENMESSAGE ? ID_EVENT_MESSAGE
                   : action == ACT_RUNPROGRAM  ? ID_EVENT_COMMANDLINE
                                               : ID_EVENT_JOURNALTEXT;
    if (!edit->Create(
            {.Parent = actionPages_[i].Handle(), .Rect = {FieldLeft, 0, editWidth, 21}, .Id = id},
            {.MaxLength = 255}))
        return false;
    edit->OnContextMenu = [this, edit](POINT at) { return MacroMenu(*edit, at); };
    return true;
}

bool TEventForm::CreateActionArea() {
    if (!actionNone_.Create(
            {.Parent = Handle(), .Rect = ActionArea, .Visible = false, .Font = Font()}))
        return false;
    if (!actionNoneText_.Create({.Parent = actionNone_.Handle(),
                                 .Rect = {0, 5, ActionArea.Width, 13},
                                 .Id = ID_EVENT_ACTIONNONE,
                                 .Text = "Нет параметров",
                                 .Enabled = false}))
        return false;

    if (!AddActionField(ACT_SCREENMESSAGE, "Текст тообщения:", &message_, FieldWidth) ||
        !AddActionField(ACT_RUNPROGRAM, "Командная строка:", &commandLine_, FieldWidth - 26) ||
        !AddActionField(ACT_UPSCOMMAND, "Команда UPS:", nullptr, 0) ||
        !AddActionField(ACT_JOURNALMESSAGE, "Текст тообщения:", &journal_, FieldWidth))
        return false;

    if (!browse_.Create({.Parent = actionPages_[1].Handle(),
                         .Rect = {ActionArea.Width - 22, 0, 22, 21},
                         .Id = ID_EVENT_BROWSE,
                         .Text = "..."}))
        return false;
    browse_.OnClick = [this] { BrowseClick(); };

    return upsCommand_.Create({.Parent = actionPages_[2].Handle(),
                               .Rect = {FieldLeft, 0, FieldWidth, 21},
                               .Id = ID_EVENT_UPSCOMMAND},
                              {.DropHeight = 200});
}

void TEventForm::ShowPages() {
    const int source = source_.Selected(), action = action_.Selected();
    sourceNone_.Show(source >= 0 && source != EV_EXPRESSION);
    expression_.Show(source == EV_EXPRESSION);
    actionNone_.Show(action >= 0 && action < ACT_SCREENMESSAGE);
    for (std::size_t i = 0; i < actionPages_.size(); ++i)
        actionPages_[i].Show(action == FieldActions[i]);
    shownVariable_ = variable_.Selected();
}

TEventFields TEventForm::ReadFields() const {
    TEventFields f;
    f.Source = source_.Selected();
    f.Action = action_.Selected();
    f.Variable = variable_.Selected();
    f.Operator = operator_.Selected();
    f.Number = number_.Text();
    f.MessageText = message_.Text();
    f.CommandLine = commandLine_.Text();
    f.JournalText = journal_.Text();
    f.Command = upsCommand_.Selected();
    return f;
}

void TEventForm::ApplyFields(const TEventFields& f) {
    source_.Select(f.Source);
    action_.Select(f.Action);
    variable_.Select(f.Variable);
    operator_.Select(f.Operator);
    number_.SetText(f.Number);
    message_.SetText(f.MessageText);
    commandLine_.SetText(f.CommandLine);
    journal_.SetText(f.JournalText);
    upsCommand_.Select(f.Command);
    ShowPages();
}

void TEventForm::LoadRule(const TEventRule& rule) {
    rule_ = rule;
    TEventFields fields = ReadFields();
    LoadRuleFields(rule_, commandItems_, fields);
    ApplyFields(fields);
}

int TEventForm::ShowModal() {
    return host_.RunModal(*this);
}

void TEventForm::VariableChanged() {
    // The number field follows the kind of number the variable takes: a time of day for
    // the time on battery, a number for the others.
    const int previous = shownVariable_, now = variable_.Selected();
    shownVariable_ = now;
    auto isTime = [](int v) {
        return v >= 0 && v < VariableCount && Variables[v].Kind == TNumberKind::TimeOfDay;
    };
    if (isTime(now) == isTime(previous)) return;
    const std::string text = number_.Text();
    if (isTime(now)) {
        if (TimeWithDefault(text, -1) < 0)
            number_.SetText(FormatTimeOfDay(FloatWithDefault(text, 0)));
    } else if (FloatWithDefault(text, -1) == -1 && TimeWithDefault(text, -1) >= 0) {
        number_.SetText("0");
    }
}

void TEventForm::OkClick() {
    if (BuildRule(ReadFields(), commandItems_, rule_)) {
        SetModalResult(MR_OK);
        return;
    }
    MessageBoxA(Handle(), std::string(WrongFieldMessage).c_str(), "Внимание!",
                MB_OK | MB_ICONWARNING);
}

void TEventForm::BrowseClick() {
    if (const auto path =
            ChooseFileToOpen({.Owner = Handle(), .Filter = FileFilter, .DefaultExtension = ".EXE"}))
        commandLine_.SetText(AppendQuotedPath(commandLine_.Text(), *path));
}

bool TEventForm::MacroMenu(TEdit& edit, POINT at) {
    int start = 0, end = 0;
    edit.GetSelection(start, end);
    const bool selection = start != end;
    std::vector<TMenuItem> items;
    for (int i = 0; i < MacroCount; ++i)
        items.push_back({i + 1, std::string(MacroItems[i].Caption)});
    items.push_back({});
    items.push_back({MENU_COPY, std::string(ClipboardCaptions[0]), selection});
    items.push_back({MENU_CUT, std::string(ClipboardCaptions[1]), selection});
    items.push_back(
        {MENU_PASTE, std::string(ClipboardCaptions[2]), IsClipboardFormatAvailable(CF_TEXT) != 0});
    const int chosen = TrackPopup(Handle(), at, items);
    if (chosen >= 1 && chosen <= MacroCount) {
        // At the caret, leaving a selection as it was; the caret ends after the macro.
        edit.Focus();
        edit.SetSelection(end, end);
        edit.ReplaceSelection(MacroItems[chosen - 1].Macro);
    } else if (chosen == MENU_COPY && selection) {
        edit.Copy();
    } else if (chosen == MENU_CUT && selection) {
        edit.Cut();
    } else if (chosen == MENU_PASTE) {
        edit.Paste();
    }
    return true;
}
