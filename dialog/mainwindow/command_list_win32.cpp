#include "dialog/mainwindow/command_list_win32.h"

#include <string>

#include "common/commands.h"
#include "common/files.h"
#include "common/messages.h"
#include "dialog/commands/cmd_form_win32.h"
#include "dialog/mainwindow/command_list_ids.h"
#include "dialog/mainwindow/monitor_link.h"
#include "dialog/module/window_host_win32.h"

namespace {
constexpr char CommandsFile[] = "CustCmds.ups";
} // namespace

bool TCommandList::Create(HWND parent, const TRect& rect) {
    if (!group_.Create({.Parent = parent, .Rect = rect, .Text = " Управление (команды) "},
                       {.Frame = true}))
        return false;

    if (!list_.Create(
            {.Parent = group_.Handle(), .Rect = {2, 15, 197, 154}, .Id = ID_COMMANDS_LIST},
            {.Columns = {{"ID", 40}, {"Описание", 130}}}))
        return false;
    list_.OnDoubleClick = [this] { Change(); };

    struct TButtonDef {
        TButton& Button;
        const char* Caption;
        int Id;
        TRect Rect;
        TButtonKind Kind;
        void (TCommandList::*Click)();
    };
    const TButtonDef buttons[] = {
        {execute_,
         "Выполнить",
         ID_COMMANDS_EXECUTE,
         {2, 172, 97, 22},
         TButtonKind::Push,
         &TCommandList::Execute},
        {new_,
         "Новая...",
         ID_COMMANDS_NEW,
         {102, 172, 97, 22},
         TButtonKind::Push,
         &TCommandList::New},
        {delete_,
         "Удалить",
         ID_COMMANDS_DELETE,
         {2, 196, 97, 22},
         TButtonKind::Push,
         &TCommandList::Delete},
        {edit_,
         "Изменить...",
         ID_COMMANDS_EDIT,
         {102, 196, 97, 22},
         TButtonKind::Default,
         &TCommandList::Change},
    };
    for (const TButtonDef& d : buttons) {
        if (!d.Button.Create({.Parent = group_.Handle(),
                              .Rect = d.Rect,
                              .Id = d.Id,
                              .Text = d.Caption,
                              .TabStop = true},
                             {.Kind = d.Kind}))
            return false;
        d.Button.OnClick = [this, click = d.Click] { (this->*click)(); };
    }
    return true;
}

void TCommandList::Load() {
    // A missing or unreadable file leaves an empty table; the first new command makes it.
    host_.Commands().Load(SystemFiles(), host_.FilePath(CommandsFile));
    Refresh(-1);
}

void TCommandList::OnLinkState(bool up) {
    execute_.Enable(up);
}

void TCommandList::Refresh(int selectId) {
    list_.Clear();
    int select = -1;
    const RecordList<TCustomCommand>& commands = host_.Commands();
    for (std::size_t i = 0; i < commands.Size(); ++i) {
        const TCustomCommand& c = commands[i];
        const int row = list_.AddRow({std::to_string(c.Id), c.Description.Str()});
        if (c.Id == selectId && select < 0) select = row;
    }
    if (select >= 0) list_.Select(select);
}

bool TCommandList::SelectedId(std::uint16_t& id) const {
    const int row = list_.Selected();
    if (row < 0 || static_cast<std::size_t>(row) >= host_.Commands().Size()) return false;
    id = host_.Commands()[static_cast<std::size_t>(row)].Id;
    return true;
}

void TCommandList::Store(int selectId) {
    IFileSystem& files = SystemFiles();
    const std::string path = host_.FilePath(CommandsFile);
    // A failed write leaves the file as it was; the table is read back either way and
    // shows what the file holds.
    const bool written = host_.Commands().Save(files, path);
    host_.Commands().Load(files, path);
    Refresh(selectId);
    if (written)
        link_.ApplySettings(APPLY_COMMANDS);
    else
        host_.ShowMessageBox("Не удалось записать файл команд CustCmds.ups.", "Ошибка",
                             MB_OK | MB_ICONERROR);
}

void TCommandList::Execute() {
    std::uint16_t id = 0;
    if (!SelectedId(id) || !link_.Known() || link_.Waiting()) return;
    // Copied first: the table may be reloaded while the commands wait for their turn.
    std::vector<TCustomCommand> chosen;
    for (const TCustomCommand& c : host_.Commands())
        if (c.Id == id) chosen.push_back(c);
    for (const TCustomCommand& c : chosen) {
        const bool custom = c.Code == CMD_CUSTOM;
        link_.RunCommand({.Code = c.Code,
                          .Text = std::string(c.Parameter.View()),
                          .Echo = custom,
                          .Wait = custom});
    }
}

void TCommandList::New() {
    if (host_.Commands().Size() >= MaxListRecords) return;
    TCmdForm editor;
    if (!editor.Create(host_.Owner())) return;
    if (host_.RunModal(editor) != MR_OK) return;
    const std::uint16_t id = host_.Commands().Add(editor.Command());
    Store(id);
}

void TCommandList::Change() {
    std::uint16_t id = 0;
    if (!SelectedId(id)) return;
    const TCustomCommand* last = host_.Commands().FindLastById(id);
    if (!last) return;
    TCmdForm editor;
    if (!editor.Create(host_.Owner())) return;
    editor.LoadCommand(*last);
    if (host_.RunModal(editor) != MR_OK) return;
    host_.Commands().ReplaceById(id, editor.Command());
    Store(id);
}

void TCommandList::Delete() {
    std::uint16_t id = 0;
    if (!SelectedId(id)) return;
    if (host_.ShowMessageBox("Вы действительно хотите удалить этот элемент?", "Внимание!",
                             MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    host_.Commands().DeleteLastById(id);
    Store(-1);
}
