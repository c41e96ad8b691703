#include "dialog/mainwindow/events_page_win32.h"

#include "common/files.h"
#include "common/messages.h"
#include "dialog/eventeditor/event_form_win32.h"
#include "dialog/mainwindow/events_ids.h"
#include "dialog/mainwindow/monitor_link.h"
#include "dialog/module/window_host_win32.h"

namespace {
constexpr char RulesFile[] = "Events.ups";
constexpr int ButtonTop = 197;
} // namespace

bool TEventsPage::CreateControls() {
    if (!group_.Create({.Parent = Parent(), .Rect = {0, 0, 473, 193}, .Text = " События "},
                       {.Frame = true}))
        return false;

    if (!list_.Create({.Parent = group_.Handle(), .Rect = {8, 16, 457, 169}, .Id = ID_EVENTS_LIST},
                      {.Columns = {{"ID", 40}, {"Событие", 200}, {"Действие", 200}}}))
        return false;
    list_.OnSelect = [this] { UpdateButtons(); };
    list_.OnDoubleClick = [this] { EditClick(); };

    if (!test_.Create({.Parent = Parent(),
                       .Rect = {0, ButtonTop, 75, 25},
                       .Id = ID_EVENTS_TEST,
                       .Text = "Тест"}))
        return false;
    test_.OnClick = [this] { TestClick(); };

    if (!up_.Create({.Parent = Parent(),
                     .Rect = {80, ButtonTop, 25, 25},
                     .Id = ID_EVENTS_UP,
                     .Text = "Вверх"}))
        return false;
    up_.OnClick = [this] { MoveClick(true); };
    if (!down_.Create({.Parent = Parent(),
                       .Rect = {108, ButtonTop, 25, 25},
                       .Id = ID_EVENTS_DOWN,
                       .Text = "Вниз"}))
        return false;
    down_.OnClick = [this] { MoveClick(false); };
    upIcon_ = MakeArrowIcon(TArrow::Up);
    downIcon_ = MakeArrowIcon(TArrow::Down);
    SetButtonIcon(up_.Handle(), upIcon_.Get());
    SetButtonIcon(down_.Handle(), downIcon_.Get());

    if (!new_.Create({.Parent = Parent(),
                      .Rect = {473 - 3 * 75 - 2 * 4, ButtonTop, 75, 25},
                      .Id = ID_EVENTS_NEW,
                      .Text = "Новое..."}))
        return false;
    new_.OnClick = [this] { NewClick(); };
    if (!delete_.Create({.Parent = Parent(),
                         .Rect = {473 - 2 * 75 - 4, ButtonTop, 75, 25},
                         .Id = ID_EVENTS_DELETE,
                         .Text = "Удалить"}))
        return false;
    delete_.OnClick = [this] { DeleteClick(); };
    if (!edit_.Create({.Parent = Parent(),
                       .Rect = {473 - 75, ButtonTop, 75, 25},
                       .Id = ID_EVENTS_EDIT,
                       .Text = "Изменить..."},
                      {.Kind = TButtonKind::Default}))
        return false;
    edit_.OnClick = [this] { EditClick(); };
    UpdateButtons();
    return true;
}

void TEventsPage::Load() {
    // A missing file is an empty table; the first new rule makes it.
    table_.Load(SystemFiles(), host_.FilePath(RulesFile));
    Fill();
}

void TEventsPage::Fill() {
    list_.Clear();
    for (const TEventRule& rule : table_)
        list_.AddRow({std::to_string(rule.Id), std::string(EventKindName(rule.Source)),
                      std::string(ActionKindName(rule.Action))});
    UpdateButtons();
}

void TEventsPage::ChangeSequence() {
    list_.Clear();
    const bool stored = StoreRules(SystemFiles(), host_.FilePath(RulesFile), table_);
    Load();
    if (!stored) {
        // The file holds the rules as they were, and so does the list now.
        host_.ShowMessageBox("Не удалось записать файл правил событий Events.ups.", "Ошибка",
                             MB_OK | MB_ICONERROR);
        return;
    }
    link_.ApplySettings(APPLY_EVENTS);
}

void TEventsPage::UpdateButtons() {
    const bool selected = list_.Selected() >= 0;
    for (TButton* b : {&test_, &up_, &down_, &delete_, &edit_})
        b->Enable(selected);
    new_.Enable(table_.Size() < MaxListRecords);
}

std::int32_t TEventsPage::SelectedId(std::int32_t fallback) const {
    const int row = list_.Selected();
    return row < 0 ? fallback : RowIdentifier(list_.CellText(row, 0), fallback);
}

void TEventsPage::SelectRule(std::size_t index, std::int32_t id) {
    // The rule at its new place, or (after a failed write) the first with its identifier.
    std::optional<std::size_t> row;
    if (index < table_.Size() && table_[index].Id == id) row = index;
    if (!row) row = FindRule(table_, id);
    if (row) list_.Select(static_cast<int>(*row));
}

void TEventsPage::TestClick() {
    if (list_.Selected() < 0) return;
    const std::int32_t id = SelectedId(0);
    if (id != 0) link_.TestEvent(static_cast<std::uint16_t>(id & 0xFFFF));
}

void TEventsPage::MoveClick(bool up) {
    const int row = list_.Selected();
    if (row < 0) return;
    if (up ? row == 0 : row == list_.RowCount() - 1) {
        MessageBeep(MB_OK);
        return;
    }
    const std::int32_t id = SelectedId(-1);
    const auto moved = up ? MoveRuleUp(table_, id) : MoveRuleDown(table_, id);
    if (!moved) return;
    ChangeSequence();
    SelectRule(*moved, id);
}

void TEventsPage::NewClick() {
    if (table_.Size() >= MaxListRecords) {
        MessageBeep(MB_OK);
        return;
    }
    TEventForm form(host_);
    if (!form.Create() || form.ShowModal() != MR_OK) return;
    if (!AppendRule(table_, form.Rule())) return;
    const TEventRule added = table_[table_.Size() - 1];
    ChangeSequence();
    SelectRule(table_.Size() - 1, added.Id);
}

void TEventsPage::EditClick() {
    const int row = list_.Selected();
    if (row < 0) return;
    const std::int32_t id = SelectedId(-1);
    const auto found = FindRule(table_, id);
    if (!found) return;
    TEventForm form(host_);
    if (!form.Create()) return;
    form.LoadRule(table_[*found]);
    if (form.ShowModal() != MR_OK) return;
    ReplaceRule(table_, form.Rule());
    ChangeSequence();
    SelectRule(static_cast<std::size_t>(row), id);
}

void TEventsPage::DeleteClick() {
    const int row = list_.Selected();
    if (row < 0) return;
    if (host_.ShowMessageBox("Вы действительно хотите удалить этот элемент?", "Внимание!",
                             MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!DeleteRule(table_, SelectedId(0))) return;
    ChangeSequence();
    // The neighbour takes the place of the deleted rule.
    if (list_.RowCount() > 0) list_.Select(std::min(row, list_.RowCount() - 1));
}
