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
    TFormArgs f;
    f.Caption = "Редактор событий";
    f.ClientWidth = ClientWidth;
    f.ClientHeight = ClientHeight;
    f.Border = TFormBorder::Dialog;
    f.Place = TFormPlace::ScreenCenter;
    f.Owner = host_.Owner();
    if (!CreateForm(f)) return false;

    TLabelArgs l;
    l.Parent = Handle();
    l.Rect = {LabelLeft, 12, ListLeft - LabelLeft - 2, 13};
    l.Text = "Источник события:";
    l.Id = ID_EVENT_SOURCELABEL;
    if (!sourceLabel_.Create(l)) return false;
    TComboArgs c;
    c.Parent = Handle();
    c.Rect = {ListLeft, 8, ListWidth, 21};
    c.Id = ID_EVENT_SOURCE;
    c.DropHeight = 250;
    c.Items = Captions(EventSourceCaptions);
    if (!source_.Create(c)) return false;
    source_.OnChange = [this] { ShowPages(); };
    if (!CreateSourceArea()) return false;

    l.Rect = {LabelLeft, 66, ListLeft - LabelLeft - 2, 13};
    l.Text = "Действие:";
    l.Id = ID_EVENT_ACTIONLABEL;
    if (!actionLabel_.Create(l)) return false;
    c.Rect = {ListLeft, 62, ListWidth, 21};
    c.Id = ID_EVENT_ACTION;
    c.DropHeight = 180;
    c.Items = Captions(ActionCaptions);
    if (!action_.Create(c)) return false;
    action_.OnChange = [this] { ShowPages(); };
    if (!CreateActionArea()) return false;

    TButtonArgs b;
    b.Parent = Handle();
    b.Rect = {ClientWidth - 8 - 75 - 4 - 75, 118, 75, 25};
    b.Text = "OK";
    b.Kind = TButtonKind::Default;
    b.Id = ID_EVENT_OK;
    if (!ok_.Create(b)) return false;
    ok_.OnClick = [this] { OkClick(); };
    b.Rect = {ClientWidth - 8 - 75, 118, 75, 25};
    b.Text = "Отмена";
    b.Kind = TButtonKind::Cancel;
    b.Id = ID_EVENT_CANCEL;
    if (!cancel_.Create(b)) return false;
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
    TContainerArgs page;
    page.Parent = Handle();
    page.Rect = SourceArea;
    page.Font = Font();
    page.Visible = false;
    if (!sourceNone_.Create(page) || !expression_.Create(page)) return false;

    TLabelArgs none;
    none.Parent = sourceNone_.Handle();
    none.Rect = {0, 5, SourceArea.Width, 13};
    none.Text = "Нет параметров";
    none.Id = ID_EVENT_SOURCENONE;
    none.Enabled = false;
    if (!sourceNoneText_.Create(none)) return false;

    TComboArgs c;
    c.Parent = expression_.Handle();
    c.Rect = {0, 0, 140, 21};
    c.Id = ID_EVENT_VARIABLE;
    c.DropHeight = 160;
    for (const TVariableDef& v : Variables)
        c.Items.emplace_back(v.Caption);
    if (!variable_.Create(c)) return false;
    variable_.OnChange = [this] { VariableChanged(); };
    c.Rect = {144, 0, 44, 21};
    c.Id = ID_EVENT_OPERATOR;
    c.DropHeight = 110;
    c.Items = Captions(Operators);
    if (!operator_.Create(c)) return false;

    TEditArgs e;
    e.Parent = expression_.Handle();
    e.Rect = {192, 0, SourceArea.Width - 192, 21};
    e.Id = ID_EVENT_NUMBER;
    e.Text = "0";
    e.MaxLength = 255;
    if (!number_.Create(e)) return false;
    number_.OnContextMenu = [this](POINT at) { return MacroMenu(number_, at); };
    return true;
}

bool TEventForm::AddActionField(int action, const char* label, TEdit* edit, int editWidth) {
    const std::size_t i = static_cast<std::size_t>(action - ACT_SCREENMESSAGE);
    TContainerArgs page;
    page.Parent = Handle();
    page.Rect = ActionArea;
    page.Font = Font();
    page.Visible = false;
    if (!actionPages_[i].Create(page)) return false;
    TLabelArgs l;
    l.Parent = actionPages_[i].Handle();
    l.Rect = {0, 4, FieldLeft - 2, 13};
    l.Text = label;
    l.Id = ID_EVENT_PARAMLABEL + action;
    if (!actionLabels_[i].Create(l)) return false;
    if (!edit) return true;
    TEditArgs e;
    e.Parent = actionPages_[i].Handle();
    e.Rect = {FieldLeft, 0, editWidth, 21};
    e.Id = action == ACT_SCREENMESSAGE ? ID_EVENT_MESSAGE
           : action == ACT_RUNPROGRAM  ? ID_EVENT_COMMANDLINE
                                       : ID_EVENT_JOURNALTEXT;
    e.MaxLength = 255;
    if (!edit->Create(e)) return false;
    edit->OnContextMenu = [this, edit](POINT at) { return MacroMenu(*edit, at); };
    return true;
}

bool TEventForm::CreateActionArea() {
    TContainerArgs page;
    page.Parent = Handle();
    page.Rect = ActionArea;
    page.Font = Font();
    page.Visible = false;
    if (!actionNone_.Create(page)) return false;
    TLabelArgs none;
    none.Parent = actionNone_.Handle();
    none.Rect = {0, 5, ActionArea.Width, 13};
    none.Text = "Нет параметров";
    none.Id = ID_EVENT_ACTIONNONE;
    none.Enabled = false;
    if (!actionNoneText_.Create(none)) return false;

    if (!AddActionField(ACT_SCREENMESSAGE, "Текст тообщения:", &message_, FieldWidth) ||
        !AddActionField(ACT_RUNPROGRAM, "Командная строка:", &commandLine_, FieldWidth - 26) ||
        !AddActionField(ACT_UPSCOMMAND, "Команда UPS:", nullptr, 0) ||
        !AddActionField(ACT_JOURNALMESSAGE, "Текст тообщения:", &journal_, FieldWidth))
        return false;

    TButtonArgs b;
    b.Parent = actionPages_[1].Handle();
    b.Rect = {ActionArea.Width - 22, 0, 22, 21};
    b.Text = "...";
    b.Id = ID_EVENT_BROWSE;
    if (!browse_.Create(b)) return false;
    browse_.OnClick = [this] { BrowseClick(); };

    TComboArgs c;
    c.Parent = actionPages_[2].Handle();
    c.Rect = {FieldLeft, 0, FieldWidth, 21};
    c.Id = ID_EVENT_UPSCOMMAND;
    c.DropHeight = 200;
    return upsCommand_.Create(c);
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
    TOpenFileArgs args;
    args.Owner = Handle();
    args.Filter = FileFilter;
    args.DefaultExtension = ".EXE";
    if (const auto path = ChooseFileToOpen(args))
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
