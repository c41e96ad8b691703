#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include "common/commands.h"
#include "dialog/commands/cmd_ids.h"
#include "dialog/mainwindow/command_list_ids.h"
#include "dialog/mainwindow/terminal_ids.h"
#include "harness.h"
#include "terminal_steps.h"
#include "window_steps.h"

using namespace dialogtest;

namespace {

TCustomCommand Command(std::uint16_t id, std::uint8_t code, const std::string& description,
                       const std::string& parameter = "") {
    TCustomCommand c{};
    c.Id = id;
    c.Code = code;
    c.Description.Assign(description);
    c.Parameter.Assign(parameter);
    return c;
}

std::vector<TCustomCommand> FileCommands() {
    return Records<TCustomCommand>(ReadFile("CustCmds.ups"));
}
std::vector<int> FileIds() {
    std::vector<int> ids;
    for (const TCustomCommand& c : FileCommands())
        ids.push_back(c.Id);
    return ids;
}

class Commands : public ::testing::Test {
protected:
    void Open(const std::vector<TCustomCommand>& commands = {}) {
        RemoveDataFiles();
        if (!commands.empty()) WriteFile("CustCmds.ups", Bytes(commands));
        ASSERT_TRUE(session.Open());
        main = session.Main();
        SelectTab(main, 1);
        list = FindById(main, ID_COMMANDS_LIST);
        ASSERT_TRUE(list);
        session.Monitor().Clear();
    }
    void Press(int id) {
        Click(FindById(main, id));
        session.Sync();
    }
    HWND OpenEditor(int button) {
        Click(FindById(main, button));
        return WaitForForm(main, "Редактор команд");
    }
    void Fill(HWND editor, int id, const std::string& text) {
        SetWindowTextA(FindById(editor, id), text.c_str());
    }
    void Choose(HWND editor, int id, int index) { ChooseInCombo(FindById(editor, id), index); }
    void PressOk(HWND editor) {
        Click(FindById(editor, ID_CMD_OK));
        ASSERT_TRUE(WaitGone(editor));
        session.Sync();
    }
    // A command made in the editor with a kind without parameters.
    void MakeCommand(const std::string& description, int kind) {
        HWND editor = OpenEditor(ID_COMMANDS_NEW);
        ASSERT_TRUE(editor);
        Fill(editor, ID_CMD_DESCRIPTION, description);
        Choose(editor, ID_CMD_KIND, kind);
        PressOk(editor);
    }
    void DeleteRow(int row) {
        SelectListRow(list, row);
        Click(FindById(main, ID_COMMANDS_DELETE));
        TBox box = WaitForBox(main);
        EXPECT_EQ(box.Caption, "Внимание!");
        EXPECT_EQ(box.Message, "Вы действительно хотите удалить этот элемент?");
        ASSERT_TRUE(PressBoxButton(box, IDYES));
        session.Sync();
    }
    std::vector<TPosted> Posted(UINT msg) {
        session.Monitor().Pump();
        return session.Monitor().Posted(msg);
    }

    TSession session;
    HWND main = nullptr, list = nullptr;
};

} // namespace

TEST_F(Commands, TheListShowsTheFileWithItsColumnsAndButtons) {
    Open({Command(1, CMD_TEST, "Тест"), Command(4, CMD_CUSTOM, "Статус", "Q1"),
          Command(2, CMD_BEEPTOGGLE, "Пищалка")});
    EXPECT_EQ(ListColumn(list, 0), (std::vector<std::string>{"1", "4", "2"}));
    EXPECT_EQ(ListColumn(list, 1), (std::vector<std::string>{"Тест", "Статус", "Пищалка"}));
    RECT r;
    GetWindowRect(list, &r);
    EXPECT_EQ(r.right - r.left, 197);
    EXPECT_EQ(r.bottom - r.top, 154);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 40);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 130);
    const std::pair<int, const char*> buttons[] = {{ID_COMMANDS_EXECUTE, "Выполнить"},
                                                   {ID_COMMANDS_NEW, "Новая..."},
                                                   {ID_COMMANDS_DELETE, "Удалить"},
                                                   {ID_COMMANDS_EDIT, "Изменить..."}};
    for (const auto& [id, caption] : buttons)
        EXPECT_EQ(Text(FindById(main, id)), caption);
    EXPECT_EQ(GetWindowLongPtrA(FindById(main, ID_COMMANDS_EDIT), GWL_STYLE) & BS_TYPEMASK,
              BS_DEFPUSHBUTTON);
    // Greyed with the link: only "Выполнить".
    session.PostLinkState(1);
    TBox box = WaitForBox(main);
    PressBoxButton(box, IDOK);
    session.Sync();
    EXPECT_FALSE(IsWindowEnabled(FindById(main, ID_COMMANDS_EXECUTE)));
    EXPECT_TRUE(IsWindowEnabled(FindById(main, ID_COMMANDS_NEW)));
    EXPECT_FALSE(IsWindowEnabled(FindById(main, ID_TERMINAL_TEXT))); // and the terminal
    session.PostLinkState(0);
    session.Sync();
    EXPECT_TRUE(IsWindowEnabled(FindById(main, ID_COMMANDS_EXECUTE)));
    EXPECT_TRUE(IsWindowEnabled(FindById(main, ID_TERMINAL_TEXT)));
}

TEST_F(Commands, NewIdentifiersAreOneAboveTheLargestAndComeBackAfterADelete) {
    Open({Command(1, CMD_TEST, "a"), Command(4, CMD_TEST, "b"), Command(2, CMD_TEST, "c")});
    MakeCommand("Отмена теста", 7);
    EXPECT_EQ(FileIds(), (std::vector<int>{1, 4, 2, 5}));
    EXPECT_EQ(FileCommands()[3].Code, CMD_CANCELTEST);
    EXPECT_EQ(ListColumn(list, 0), (std::vector<std::string>{"1", "4", "2", "5"}));
    EXPECT_EQ(SelectedListRow(list), 3);
    std::vector<TPosted> applied = Posted(UM_APPLYSETTINGS);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].WParam, 2u);

    DeleteRow(3);
    EXPECT_EQ(FileIds(), (std::vector<int>{1, 4, 2}));
    EXPECT_EQ(Posted(UM_APPLYSETTINGS).size(), 2u);
    MakeCommand("Снова", 0);
    EXPECT_EQ(FileIds(), (std::vector<int>{1, 4, 2, 5}));
}

TEST_F(Commands, DeleteAsksAndNoKeepsEverything) {
    Open({Command(1, CMD_TEST, "a"), Command(1, CMD_TESTLOW, "b"), Command(3, CMD_TEST, "c")});
    SelectListRow(list, 0);
    Click(FindById(main, ID_COMMANDS_DELETE));
    TBox box = WaitForBox(main);
    ASSERT_TRUE(PressBoxButton(box, IDNO));
    session.Sync();
    EXPECT_EQ(FileIds(), (std::vector<int>{1, 1, 3}));
    EXPECT_TRUE(Posted(UM_APPLYSETTINGS).empty());
    // Two with one identifier: the last of them goes.
    DeleteRow(0);
    ASSERT_EQ(FileIds(), (std::vector<int>{1, 3}));
    EXPECT_EQ(FileCommands()[0].Code, CMD_TEST);
    // Without a row nothing is asked.
    SelectListRow(list, -1);
    Press(ID_COMMANDS_DELETE);
    EXPECT_TRUE(WaitNoBox(main, 300ms));
}

TEST_F(Commands, FiftyCommandsAtMostAndNewOpensNoEditor) {
    std::vector<TCustomCommand> many;
    for (int i = 1; i <= 52; ++i)
        many.push_back(Command(static_cast<std::uint16_t>(i), CMD_TEST, "c" + std::to_string(i)));
    Open(many);
    EXPECT_EQ(ListRows(list), 50);
    Press(ID_COMMANDS_NEW);
    session.Monitor().Pump(300ms);
    EXPECT_FALSE(WaitForForm(main, "Редактор команд"));
    EXPECT_TRUE(IsWindowEnabled(main));
    // The next change writes back only the fifty.
    DeleteRow(49);
    EXPECT_EQ(FileCommands().size(), 49u);
}

TEST_F(Commands, ChangeLoadsTheLastWithTheIdentifierAndOverwritesEveryOne) {
    Open({Command(3, CMD_TEST, "first"), Command(3, CMD_SHUTDOWNRESTORE, "last", ".5 0010"),
          Command(4, CMD_TEST, "other")});
    SelectListRow(list, 0);
    HWND editor = OpenEditor(ID_COMMANDS_EDIT);
    ASSERT_TRUE(editor);
    EXPECT_EQ(Text(FindById(editor, ID_CMD_DESCRIPTION)), "last");
    EXPECT_EQ(ComboText(FindById(editor, ID_CMD_KIND)), "Автоматическое выключение и включение");
    EXPECT_EQ(ComboText(FindById(editor, ID_CMD_RESTORE_DELAY)), ".5");
    EXPECT_EQ(Text(FindById(editor, ID_CMD_SWITCH_ON)), "0010");
    EXPECT_TRUE(IsWindowVisible(FindById(editor, ID_CMD_SWITCH_ON)));
    Fill(editor, ID_CMD_DESCRIPTION, "changed");
    Fill(editor, ID_CMD_SWITCH_ON, "20");
    PressOk(editor);
    const std::vector<TCustomCommand> file = FileCommands();
    ASSERT_EQ(file.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(file[i].Id, 3);
        EXPECT_EQ(file[i].Description.View(), "changed");
        EXPECT_EQ(file[i].Parameter.View(), ".5 0020");
    }
    EXPECT_EQ(file[2].Description.View(), "other");
    EXPECT_EQ(Posted(UM_APPLYSETTINGS).size(), 1u);

    // Cancel changes nothing, and a double click opens the editor too.
    PostMessageA(list, WM_NULL, 0, 0);
    SelectListRow(list, 2);
    editor = OpenEditor(ID_COMMANDS_EDIT);
    ASSERT_TRUE(editor);
    Fill(editor, ID_CMD_DESCRIPTION, "never");
    Click(FindById(editor, ID_CMD_CANCEL));
    ASSERT_TRUE(WaitGone(editor));
    session.Sync();
    EXPECT_EQ(FileCommands()[2].Description.View(), "other");
    EXPECT_EQ(Posted(UM_APPLYSETTINGS).size(), 1u);
}

TEST_F(Commands, ExecuteEchoesAUserCommandAndWaitsForItsAnswer) {
    Open({Command(1, CMD_CUSTOM, "Статус", "Q1"),
          Command(2, CMD_SHUTDOWNRESTORE, "Выкл", ".5 0010")});
    HWND terminal = FindById(main, ID_TERMINAL_TEXT);
    SelectListRow(list, 0);
    Press(ID_COMMANDS_EXECUTE);
    std::vector<TPosted> runs = Posted(UM_RUNCOMMAND);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].WParam, CMD_CUSTOM);
    EXPECT_STREQ(reinterpret_cast<const char*>(runs[0].LParam), "Q1");
    EXPECT_EQ(Posted(UM_REFRESH).size(), 1u);
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", ""}));
    EXPECT_FALSE(IsWindowEnabled(main));
    session.SendAnswer("(230.0\r");
    session.Sync();
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", "(230.0", ""}));
    EXPECT_TRUE(IsWindowEnabled(main));

    // Other kinds show no echo and do not wait; their empty answer shows nothing.
    SelectListRow(list, 1);
    Press(ID_COMMANDS_EXECUTE);
    runs = Posted(UM_RUNCOMMAND);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].WParam, CMD_SHUTDOWNRESTORE);
    EXPECT_STREQ(reinterpret_cast<const char*>(runs[1].LParam), ".5 0010");
    EXPECT_TRUE(IsWindowEnabled(main));
    session.SendAnswer("");
    session.Sync();
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", "(230.0", ""}));
}

TEST_F(Commands, CommandsOfOneIdentifierGoOutOneAnswerAtATime) {
    // The command text buffer holds one text: the second waits until the first is answered,
    // so the monitor never reads the first command with the second one's text.
    Open({Command(7, CMD_SHUTDOWNRESTORE, "a", ".5 0010"), Command(7, CMD_CUSTOM, "b", "QS")});
    HWND terminal = FindById(main, ID_TERMINAL_TEXT);
    SelectListRow(list, 0);
    Press(ID_COMMANDS_EXECUTE);
    std::vector<TPosted> runs = Posted(UM_RUNCOMMAND);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].WParam, CMD_SHUTDOWNRESTORE);
    EXPECT_STREQ(reinterpret_cast<const char*>(runs[0].LParam), ".5 0010");
    EXPECT_FALSE(IsWindowEnabled(main)); // the user command waits
    session.SendAnswer("");
    session.Sync();
    runs = Posted(UM_RUNCOMMAND);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].WParam, CMD_CUSTOM);
    EXPECT_STREQ(reinterpret_cast<const char*>(runs[1].LParam), "QS");
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"QS", ""}));
    session.SendNoAnswer();
    session.Sync();
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(Posted(UM_REFRESH).size(), 2u);
}

TEST_F(Commands, TheEditorAsLaidOutWithItsKindsAndPages) {
    Open();
    HWND editor = OpenEditor(ID_COMMANDS_NEW);
    ASSERT_TRUE(editor);
    EXPECT_FALSE(IsWindowEnabled(main));
    RECT client;
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, 290);
    EXPECT_EQ(client.bottom, 114);
    HWND kind = FindById(editor, ID_CMD_KIND);
    const char* kinds[] = {"Тестирование 10 секунд",
                           "Тестирование до разряда батареи",
                           "Тестирование на протяжении указанного времени",
                           "Инвертировать состояние пищалки",
                           "Автоматическое выключение",
                           "Автоматическое выключение и включение",
                           "Отмена автоматического выключения",
                           "Отмена тестирования",
                           "Пользовательская команда",
                           "Выключить пищалку",
                           "Включить пищалку"};
    ASSERT_EQ(SendMessageA(kind, CB_GETCOUNT, 0, 0), 11);
    for (int i = 0; i < 11; ++i) {
        char buf[128] = {};
        SendMessageA(kind, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        EXPECT_STREQ(buf, kinds[i]);
    }
    EXPECT_EQ(ComboSelected(kind), -1);
    EXPECT_EQ(SendMessageA(FindById(editor, ID_CMD_DELAY), CB_GETCOUNT, 0, 0), 18);

    // Exactly the page of the chosen kind shows.
    const int fieldOfPage[] = {ID_CMD_NO_PARAMETERS + 0,
                               ID_CMD_NO_PARAMETERS + 1,
                               ID_CMD_MINUTES,
                               ID_CMD_NO_PARAMETERS + 3,
                               ID_CMD_DELAY,
                               ID_CMD_SWITCH_ON,
                               ID_CMD_NO_PARAMETERS + 6,
                               ID_CMD_NO_PARAMETERS + 7,
                               ID_CMD_TEXT,
                               ID_CMD_NO_PARAMETERS + 9,
                               ID_CMD_NO_PARAMETERS + 10};
    for (int page = 0; page < 11; ++page) {
        Choose(editor, ID_CMD_KIND, page);
        for (int other = 0; other < 11; ++other)
            EXPECT_EQ(IsWindowVisible(FindById(editor, fieldOfPage[other])) != FALSE, other == page)
                << page << " " << other;
    }
    EXPECT_EQ(Text(FindById(editor, ID_CMD_NO_PARAMETERS)), "Нет дополнительных параметров");

    // Keyboard order: description, kind, the page's field, OK, Cancel.
    Choose(editor, ID_CMD_KIND, 2);
    HWND at = FindById(editor, ID_CMD_DESCRIPTION);
    for (int id : {ID_CMD_KIND, ID_CMD_MINUTES, ID_CMD_OK, ID_CMD_CANCEL, ID_CMD_DESCRIPTION}) {
        at = GetNextDlgTabItem(editor, at, FALSE);
        EXPECT_EQ(GetDlgCtrlID(at), id);
    }
    // Escape is Cancel: nothing is made.
    PressKey(FindById(editor, ID_CMD_DESCRIPTION), VK_ESCAPE);
    ASSERT_TRUE(WaitGone(editor));
    session.Sync();
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_FALSE(FileExists("CustCmds.ups"));
}

TEST_F(Commands, OkRefusesWrongFieldsAndKeepsWhatWasTyped) {
    Open();
    HWND editor = OpenEditor(ID_COMMANDS_NEW);
    ASSERT_TRUE(editor);
    auto refused = [&] {
        Click(FindById(editor, ID_CMD_OK));
        TBox box = WaitForBox(main);
        const bool ok = box.Caption == "Внимание!" &&
                        box.Message == "Неправильно заполнено одно из обязятельных полей.";
        PressBoxButton(box, IDOK);
        return ok && IsWindowVisible(editor);
    };
    EXPECT_TRUE(refused()); // no description, no kind
    Fill(editor, ID_CMD_DESCRIPTION, "Тест");
    EXPECT_TRUE(refused()); // no kind
    Choose(editor, ID_CMD_KIND, 2);
    for (const char* bad : {"", "0", "ab"}) {
        Fill(editor, ID_CMD_MINUTES, bad);
        EXPECT_TRUE(refused()) << bad;
        EXPECT_EQ(Text(FindById(editor, ID_CMD_MINUTES)), bad);
    }
    EXPECT_EQ(Text(FindById(editor, ID_CMD_DESCRIPTION)), "Тест");
    Fill(editor, ID_CMD_MINUTES, "7");
    PressOk(editor);
    const std::vector<TCustomCommand> file = FileCommands();
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file[0].Id, 1);
    EXPECT_EQ(file[0].Code, CMD_TESTMINUTES);
    EXPECT_EQ(file[0].Parameter.View(), "07");
}

TEST_F(Commands, AFileThatCannotBeWrittenIsReportedAndKeptAsItWas) {
    Open({Command(1, CMD_TEST, "a")});
    CreateDirectoryA(ProgramFile("CustCmds.ups.tmp").c_str(), nullptr);
    DeleteRow(0);
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Caption, "Ошибка");
    EXPECT_EQ(box.Message, "Не удалось записать файл команд CustCmds.ups.");
    PressBoxButton(box, IDOK);
    session.Sync();
    RemoveDirectoryA(ProgramFile("CustCmds.ups.tmp").c_str());
    EXPECT_EQ(FileIds(), (std::vector<int>{1}));
    EXPECT_EQ(ListColumn(list, 0), (std::vector<std::string>{"1"}));
    EXPECT_TRUE(Posted(UM_APPLYSETTINGS).empty());
}
