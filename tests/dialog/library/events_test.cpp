#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include "common/events.h"
#include "dialog/eventeditor/event_form_ids.h"
#include "dialog/mainwindow/events_ids.h"
#include "harness.h"
#include "window_steps.h"

using namespace dialogtest;

namespace {

TEventRule MakeRule(std::uint16_t id, std::uint8_t source, std::uint8_t action,
                    const std::string& parameter = "", const std::string& expression = "") {
    TEventRule r{};
    r.Id = id;
    r.Source = source;
    r.Action = action;
    r.Parameter.Assign(parameter);
    r.Expression.Assign(expression);
    return r;
}

TCustomCommand MakeCommand(std::uint16_t id, const std::string& description) {
    TCustomCommand c{};
    c.Id = id;
    c.Code = 11;
    c.Description.Assign(description);
    return c;
}

std::vector<TEventRule> FileRules() {
    return Records<TEventRule>(ReadFile("Events.ups"));
}
std::vector<int> FileIds() {
    std::vector<int> ids;
    for (const TEventRule& r : FileRules())
        ids.push_back(r.Id);
    return ids;
}

class EventsPage : public ::testing::Test {
protected:
    void Open(const std::vector<TEventRule>& rules,
              const std::vector<TCustomCommand>& commands = {}) {
        RemoveDataFiles();
        if (!rules.empty()) WriteFile("Events.ups", Bytes(rules));
        if (!commands.empty()) WriteFile("CustCmds.ups", Bytes(commands));
        ASSERT_TRUE(session.Open());
        main = session.Main();
        SelectTab(main, 2);
        list = FindById(main, ID_EVENTS_LIST);
        ASSERT_TRUE(list);
        session.Monitor().Clear();
    }
    void Press(int id) {
        Click(FindById(main, id));
        session.Sync();
    }
    // Opens the editor with a button of the page.
    HWND OpenEditor(int button) {
        Click(FindById(main, button));
        return WaitForForm(main, "Редактор событий");
    }
    void PressOk(HWND editor) {
        Click(FindById(editor, ID_EVENT_OK));
        WaitGone(editor);
        session.Sync();
    }
    std::vector<TPosted> Applied() {
        session.Monitor().Pump(); // what the window posted meanwhile
        return session.Monitor().Posted(UM_APPLYSETTINGS);
    }

    TSession session;
    HWND main = nullptr, list = nullptr;
};

} // namespace

TEST_F(EventsPage, ListsTheRulesOfTheFileByTheirNames) {
    Open({MakeRule(1, EV_POWERFAIL, ACT_JOURNALMESSAGE, "$BATT"), MakeRule(2, 15, 10),
          MakeRule(7, EV_EXPRESSION, ACT_HIBERNATE, "", "%BATT < 11.5")});
    ASSERT_EQ(ListRows(list), 3);
    EXPECT_EQ(ListColumn(list, 0), (std::vector<std::string>{"1", "2", "7"}));
    EXPECT_EQ(ListCell(list, 0, 1), "Сбой питающей сети");
    EXPECT_EQ(ListCell(list, 0, 2), "Запись в протокол");
    EXPECT_EQ(ListCell(list, 1, 1), "Ошибка!");
    EXPECT_EQ(ListCell(list, 1, 2), "Ошибка!");
    EXPECT_EQ(ListCell(list, 2, 1), "Справедливость выражения");
    EXPECT_EQ(ListCell(list, 2, 2), "Хибернейт");
    // What needs a rule waits for one to be chosen.
    EXPECT_FALSE(IsWindowEnabled(FindById(main, ID_EVENTS_EDIT)));
    EXPECT_TRUE(IsWindowEnabled(FindById(main, ID_EVENTS_NEW)));
    SelectListRow(list, 1);
    session.Sync();
    for (int id : {ID_EVENTS_TEST, ID_EVENTS_UP, ID_EVENTS_DOWN, ID_EVENTS_DELETE, ID_EVENTS_EDIT})
        EXPECT_TRUE(IsWindowEnabled(FindById(main, id))) << id;
    EXPECT_EQ(Text(FindById(main, ID_EVENTS_UP)), "Вверх");
}

TEST_F(EventsPage, TestAsksTheMonitorToRunTheRuleButNotForIdentifierZero) {
    Open({MakeRule(0, EV_POWERFAIL, ACT_JOURNALMESSAGE, "zero"),
          MakeRule(7, EV_POWERFAIL, ACT_JOURNALMESSAGE, "seven")});
    SelectListRow(list, 1);
    Press(ID_EVENTS_TEST);
    TPosted test{};
    ASSERT_TRUE(session.Monitor().WaitFor(UM_TESTEVENT, &test, 2000ms));
    EXPECT_EQ(test.WParam, 7u);
    EXPECT_EQ(test.LParam, 0);
    session.Monitor().Clear();
    SelectListRow(list, 0);
    Press(ID_EVENTS_TEST);
    EXPECT_FALSE(session.Monitor().WaitFor(UM_TESTEVENT, nullptr, 300ms));
    EXPECT_TRUE(FileIds() == (std::vector<int>{0, 7}));
}

TEST_F(EventsPage, MovesRewriteTheFileAndKeepTheRuleSelected) {
    Open({MakeRule(1, 0, 9, "a"), MakeRule(2, 1, 9, "b"), MakeRule(3, 2, 9, "c")});
    SelectListRow(list, 1);
    Press(ID_EVENTS_UP);
    EXPECT_EQ(FileIds(), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(ListColumn(list, 0), (std::vector<std::string>{"2", "1", "3"}));
    EXPECT_EQ(SelectedListRow(list), 0);
    ASSERT_EQ(Applied().size(), 1u);
    EXPECT_EQ(Applied()[0].WParam, 1u);
    // At the top it only beeps.
    Press(ID_EVENTS_UP);
    EXPECT_EQ(FileIds(), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(Applied().size(), 1u);
    Press(ID_EVENTS_DOWN);
    Press(ID_EVENTS_DOWN);
    EXPECT_EQ(FileIds(), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(SelectedListRow(list), 2);
    EXPECT_EQ(FileRules()[2].Parameter.Str(), "b");
    Press(ID_EVENTS_DOWN); // at the bottom
    EXPECT_EQ(FileIds(), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(Applied().size(), 3u);
}

TEST_F(EventsPage, NewRuleFromTheEditorGetsOneAboveTheLargestIdentifier) {
    Open({MakeRule(1, 0, 0), MakeRule(2, 0, 0), MakeRule(7, 0, 0)});
    HWND editor = OpenEditor(ID_EVENTS_NEW);
    ASSERT_TRUE(editor);
    EXPECT_FALSE(IsWindowEnabled(main));
    // An answer to no command of the window's ends no wait: the window stays under its
    // editor.
    session.SendNoAnswer();
    session.Sync();
    EXPECT_FALSE(IsWindowEnabled(main));
    RECT client;
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, 306);
    EXPECT_EQ(client.bottom, 150);
    HWND source = FindById(editor, ID_EVENT_SOURCE), action = FindById(editor, ID_EVENT_ACTION);
    EXPECT_EQ(SendMessageA(source, CB_GETCOUNT, 0, 0), 15);
    EXPECT_EQ(SendMessageA(action, CB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(ComboSelected(source), -1);

    // Nothing chosen: the one message, and the editor stays.
    Click(FindById(editor, ID_EVENT_OK));
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Caption, "Внимание!");
    EXPECT_EQ(box.Message, "Неправильно заполнено одно из обязятельных полей.");
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    EXPECT_TRUE(IsWindowVisible(editor));

    ChooseInCombo(source, EV_POWERFAIL);
    EXPECT_TRUE(IsWindowVisible(FindById(editor, ID_EVENT_SOURCENONE)));
    EXPECT_EQ(Text(FindById(editor, ID_EVENT_SOURCENONE)), "Нет параметров");
    ChooseInCombo(action, ACT_JOURNALMESSAGE);
    EXPECT_EQ(ComboText(action), "Сообщение в протокол");
    HWND text = FindById(editor, ID_EVENT_JOURNALTEXT);
    ASSERT_TRUE(IsWindowVisible(text));
    EXPECT_FALSE(IsWindowVisible(FindById(editor, ID_EVENT_MESSAGE)));
    EXPECT_EQ(Text(FindById(editor, static_cast<int>(ID_EVENT_PARAMLABEL) + ACT_JOURNALMESSAGE)),
              "Текст тообщения:");
    SetWindowTextA(text, "Батарея $BATT");
    PressOk(editor);

    EXPECT_TRUE(IsWindowEnabled(main));
    ASSERT_EQ(FileIds(), (std::vector<int>{1, 2, 7, 8}));
    const TEventRule added = FileRules()[3];
    EXPECT_EQ(added.Source, EV_POWERFAIL);
    EXPECT_EQ(added.Action, ACT_JOURNALMESSAGE);
    EXPECT_EQ(added.Parameter.Str(), "Батарея $BATT");
    EXPECT_EQ(added.Expression.Length, 0);
    EXPECT_EQ(ListCell(list, 3, 0), "8");
    EXPECT_EQ(SelectedListRow(list), 3);
    ASSERT_EQ(Applied().size(), 1u);
    EXPECT_EQ(Applied()[0].WParam, 1u);
}

TEST_F(EventsPage, TheExpressionPageBuildsWhatTheMonitorReads) {
    Open({});
    HWND editor = OpenEditor(ID_EVENTS_NEW);
    ASSERT_TRUE(editor);
    ChooseInCombo(FindById(editor, ID_EVENT_SOURCE), EV_EXPRESSION);
    HWND variable = FindById(editor, ID_EVENT_VARIABLE), op = FindById(editor, ID_EVENT_OPERATOR),
         number = FindById(editor, ID_EVENT_NUMBER);
    ASSERT_TRUE(IsWindowVisible(variable));
    EXPECT_EQ(Text(number), "0");
    EXPECT_EQ(SendMessageA(variable, CB_GETCOUNT, 0, 0), 9);
    EXPECT_EQ(SendMessageA(op, CB_GETCOUNT, 0, 0), 6);
    ChooseInCombo(FindById(editor, ID_EVENT_ACTION), ACT_HIBERNATE);
    EXPECT_TRUE(IsWindowVisible(FindById(editor, ID_EVENT_ACTIONNONE)));
    // The time on battery is typed as a time of day.
    ChooseInCombo(variable, 8);
    // (the user's long time format decides about the hour's leading zero)
    EXPECT_TRUE(Text(number) == "0:00:00" || Text(number) == "00:00:00") << Text(number);
    ChooseInCombo(op, 2);
    Click(FindById(editor, ID_EVENT_OK));
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Message, "Неправильно заполнено одно из обязятельных полей.");
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    SetWindowTextA(number, "0:05:00");
    PressOk(editor);
    ASSERT_EQ(FileRules().size(), 1u);
    EXPECT_EQ(FileRules()[0].Id, 1);
    EXPECT_EQ(FileRules()[0].Expression.Str(), "%ACFTIME >= 0.00347222222222222");
    EXPECT_EQ(FileRules()[0].Parameter.Length, 0);
}

TEST_F(EventsPage, ChangeLoadsTheRuleAndReplacesItInPlace) {
    Open({MakeRule(4, 0, 0), MakeRule(5, EV_EXPRESSION, ACT_UPSCOMMAND, "12", "%BATT < 11.5"),
          MakeRule(6, 0, 0)},
         {MakeCommand(3, "Тест батареи"), MakeCommand(12, "Выключить")});
    SelectListRow(list, 1);
    HWND editor = OpenEditor(ID_EVENTS_EDIT);
    ASSERT_TRUE(editor);
    EXPECT_EQ(ComboSelected(FindById(editor, ID_EVENT_SOURCE)), EV_EXPRESSION);
    EXPECT_EQ(ComboSelected(FindById(editor, ID_EVENT_VARIABLE)), 2);
    EXPECT_EQ(ComboSelected(FindById(editor, ID_EVENT_OPERATOR)), 3);
    EXPECT_EQ(Text(FindById(editor, ID_EVENT_NUMBER)), "11.5");
    HWND command = FindById(editor, ID_EVENT_UPSCOMMAND);
    ASSERT_TRUE(IsWindowVisible(command));
    EXPECT_EQ(SendMessageA(command, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ComboText(command), "12: Выключить");
    SetWindowTextA(FindById(editor, ID_EVENT_NUMBER), "12.5");
    ChooseInCombo(command, 0);
    PressOk(editor);
    ASSERT_EQ(FileIds(), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(FileRules()[1].Expression.Str(), "%BATT < 12.5");
    EXPECT_EQ(FileRules()[1].Parameter.Str(), "3");
    EXPECT_EQ(SelectedListRow(list), 1);
}

TEST_F(EventsPage, ARuleWhoseCommandIsGoneIsRefusedUntilOneIsChosenAndCancelChangesNothing) {
    Open({MakeRule(5, EV_POWERFAIL, ACT_UPSCOMMAND, "99")}, {MakeCommand(3, "Тест")});
    const std::string before = ReadFile("Events.ups");
    SelectListRow(list, 0);
    HWND editor = OpenEditor(ID_EVENTS_EDIT);
    ASSERT_TRUE(editor);
    EXPECT_EQ(ComboSelected(FindById(editor, ID_EVENT_UPSCOMMAND)), -1);
    Click(FindById(editor, ID_EVENT_OK));
    TBox box = WaitForBox(main);
    ASSERT_TRUE(box.Hwnd);
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    // Escape is the cancel button.
    PressKey(FindById(editor, ID_EVENT_SOURCE), VK_ESCAPE);
    ASSERT_TRUE(WaitGone(editor));
    session.Sync();
    EXPECT_EQ(ReadFile("Events.ups"), before);
    EXPECT_TRUE(Applied().empty());
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(EventsPage, DeleteAsksFirstAndRemovesTheRule) {
    Open({MakeRule(1, 0, 0), MakeRule(2, 0, 0), MakeRule(3, 0, 0)});
    SelectListRow(list, 1);
    Click(FindById(main, ID_EVENTS_DELETE));
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Caption, "Внимание!");
    EXPECT_EQ(box.Message, "Вы действительно хотите удалить этот элемент?");
    ASSERT_TRUE(PressBoxButton(box, IDNO));
    session.Sync();
    EXPECT_EQ(FileIds(), (std::vector<int>{1, 2, 3}));
    Click(FindById(main, ID_EVENTS_DELETE));
    box = WaitForBox(main);
    ASSERT_TRUE(PressBoxButton(box, IDYES));
    session.Sync();
    EXPECT_EQ(FileIds(), (std::vector<int>{1, 3}));
    EXPECT_EQ(ListColumn(list, 0), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(Applied().size(), 1u);
}

TEST_F(EventsPage, FiftyRulesAtMostAndTheRestDroppedAtTheNextChange) {
    std::vector<TEventRule> many;
    for (int i = 1; i <= 65; ++i)
        many.push_back(MakeRule(static_cast<std::uint16_t>(i), 0, 0));
    Open(many);
    EXPECT_EQ(ListRows(list), 50);
    EXPECT_FALSE(IsWindowEnabled(FindById(main, ID_EVENTS_NEW)));
    SelectListRow(list, 49);
    Press(ID_EVENTS_UP);
    EXPECT_EQ(FileRules().size(), 50u);
    EXPECT_EQ(FileRules()[48].Id, 50);
}

TEST_F(EventsPage, ARuleFileThatCannotBeWrittenIsReportedAndNothingIsLost) {
    Open({MakeRule(1, 0, 0), MakeRule(2, 0, 0)});
    CreateDirectoryA(ProgramFile("Events.ups.tmp").c_str(), nullptr);
    SelectListRow(list, 1);
    Click(FindById(main, ID_EVENTS_UP));
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Caption, "Ошибка");
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    session.Sync();
    RemoveDirectoryA(ProgramFile("Events.ups.tmp").c_str());
    EXPECT_EQ(FileIds(), (std::vector<int>{1, 2}));
    EXPECT_EQ(ListColumn(list, 0), (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(Applied().empty());
}

TEST_F(EventsPage, TheEditBoxesMenuInsertsAMacroAtTheCaret) {
    Open({});
    HWND editor = OpenEditor(ID_EVENTS_NEW);
    ASSERT_TRUE(editor);
    ChooseInCombo(FindById(editor, ID_EVENT_ACTION), ACT_SCREENMESSAGE);
    HWND edit = FindById(editor, ID_EVENT_MESSAGE);
    SetWindowTextA(edit, "Батарея:  В");
    SendMessageA(edit, EM_SETSEL, 3, 9); // a selection is not replaced
    RECT r;
    GetWindowRect(edit, &r);
    PostMessageA(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit),
                 MAKELPARAM(r.left + 5, r.top + 5));
    HWND menu = WaitForWindow(main, "#32768", nullptr);
    ASSERT_TRUE(menu);
    // The third item: "Напряжение батареи".
    for (int i = 0; i < 3; ++i)
        PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Text(edit) != "Батарея:  В"; }));
    EXPECT_EQ(Text(edit), "Батарея: $BATT В");
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 14u);
    EXPECT_EQ(end, 14u);
    PressKey(FindById(editor, ID_EVENT_SOURCE), VK_ESCAPE);
    WaitGone(editor);
}

TEST_F(EventsPage, TheProgramChosenIsAppendedInQuotes) {
    Open({});
    HWND editor = OpenEditor(ID_EVENTS_NEW);
    ASSERT_TRUE(editor);
    ChooseInCombo(FindById(editor, ID_EVENT_ACTION), ACT_RUNPROGRAM);
    HWND line = FindById(editor, ID_EVENT_COMMANDLINE);
    SetWindowTextA(line, "start ");
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof before, before);
    Click(FindById(editor, ID_EVENT_BROWSE));
    HWND dialog = WaitForWindow(main, "#32770", nullptr);
    ASSERT_TRUE(dialog);
    // The file name box of the system's dialog, then its open button.
    const std::string chosen = ProgramFile("kovrin_dialog_tests.exe");
    HWND name = nullptr;
    for (HWND e : Descendants(dialog, "Edit"))
        if (IsWindowVisible(e)) name = e;
    ASSERT_TRUE(name);
    SetWindowTextA(name, chosen.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(WaitUntil([&] { return Text(line) != "start "; }));
    EXPECT_EQ(Text(line), "start \"" + chosen + "\"");
    char after[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, before);
    PressKey(FindById(editor, ID_EVENT_SOURCE), VK_ESCAPE);
    WaitGone(editor);
}
