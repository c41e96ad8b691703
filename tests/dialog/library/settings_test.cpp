#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>

#include "common/commands.h"
#include "dialog/mainwindow/command_list_ids.h"
#include "dialog/mainwindow/control_ids.h"
#include "dialog/mainwindow/terminal_ids.h"
#include "harness.h"
#include "terminal_steps.h"
#include "window_steps.h"

using namespace dialogtest;

namespace {

constexpr int SettingsTab = 5;

// A key of Kovrin.ini as the file holds it now; "-" when absent.
std::string IniValue(const std::string& key) {
    const std::string text = ReadFile("Kovrin.ini");
    const std::string line = "\n" + key + "=";
    std::size_t at = ("\n" + text).find(line);
    if (at == std::string::npos) return "-";
    at += line.size() - 1;
    const std::size_t end = text.find_first_of("\r\n", at);
    return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

bool Checked(HWND box) {
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The values under the current user's Run key.
std::map<std::string, std::string> RunValues() {
    std::map<std::string, std::string> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256], data[1024];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data),
                          &dataSize) != ERROR_SUCCESS)
            break;
        values[name] = std::string(data, dataSize ? dataSize - 1 : 0);
    }
    RegCloseKey(key);
    return values;
}

void SetRunValue(const char* name, const std::string* value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (!key) return;
    if (value)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                       static_cast<DWORD>(value->size() + 1));
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

class SettingsPage : public ::testing::Test {
protected:
    void SetUp() override { RemoveDataFiles(); }
    void Open(const std::string& ini) {
        if (!ini.empty()) WriteFile("Kovrin.ini", ini);
        ASSERT_TRUE(session.Open());
        SelectTab(session.Main(), SettingsTab);
        session.Sync();
    }
    HWND Item(int id) { return FindById(session.Main(), id); }
    std::string Field(int id) { return Text(Item(id)); }
    void SetField(int id, const std::string& text) {
        SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // "Применить", and the monitor's answer to wait for.
    bool Apply() {
        session.Monitor().Clear();
        Click(Item(ID_SETTINGS_APPLY));
        return session.Monitor().WaitFor(UM_APPLYSETTINGS, nullptr, 3000ms);
    }
    TSession session;
};

} // namespace

TEST_F(SettingsPage, ShowsTheFileAsAdjustedOnReading) {
    Open("[Main]\r\nInterval=100\r\nFailInterval=200\r\nStatInterval=300\r\nTimeOut=50\r\n"
         "AltTransDiff=0\r\nPort=COM3\r\nDTR=0\r\nMinBattVoltage=abc\r\nMaxBattVoltage=13.6\r\n"
         "FormLeft=150\r\nFormTop=120\r\n");
    EXPECT_EQ(Field(ID_SETTINGS_INTERVAL), "500");
    EXPECT_EQ(Field(ID_SETTINGS_FAILINTERVAL), "500");
    EXPECT_EQ(Field(ID_SETTINGS_STATINTERVAL), "500");
    EXPECT_EQ(Field(ID_SETTINGS_TIMEOUT), "1000");
    EXPECT_EQ(Field(ID_SETTINGS_PORT), "COM3");
    EXPECT_FALSE(Checked(Item(ID_SETTINGS_DTR)));
    EXPECT_TRUE(Checked(Item(ID_SETTINGS_RTS)));
    EXPECT_EQ(Field(ID_SETTINGS_MINVOLTAGE), "0.00"); // no number: 0
    EXPECT_EQ(Field(ID_SETTINGS_MAXVOLTAGE), "13.60");
    EXPECT_FALSE(Checked(Item(ID_SETTINGS_ALTDETECTION)));
    EXPECT_FALSE(IsWindowEnabled(Item(ID_SETTINGS_ALTDIFF)));
    EXPECT_EQ(Field(ID_SETTINGS_ALTDIFF), "10");
    EXPECT_EQ(Field(ID_SETTINGS_CALIBRATE), "Определить");
    RECT r;
    GetWindowRect(session.Main(), &r);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 120);
    // The pair is broken until the next applying; the rating leaves a limit in place.
    session.SendRating(MakeRating(220, 12, 50, 3));
    session.Sync();
    EXPECT_EQ(Field(ID_SETTINGS_MAXVOLTAGE), "13.60");
}

TEST_F(SettingsPage, AnAlternativeDetectionInTheFileTicksItsBox) {
    Open("[Main]\r\nAltTransDiff=25\r\n");
    EXPECT_TRUE(Checked(Item(ID_SETTINGS_ALTDETECTION)));
    EXPECT_TRUE(IsWindowEnabled(Item(ID_SETTINGS_ALTDIFF)));
    EXPECT_EQ(Field(ID_SETTINGS_ALTDIFF), "25");
    // Cleared: "Применить" writes 0 whatever the field shows.
    Click(Item(ID_SETTINGS_ALTDETECTION));
    session.Sync();
    EXPECT_FALSE(IsWindowEnabled(Item(ID_SETTINGS_ALTDIFF)));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(IniValue("AltTransDiff"), "0");
    EXPECT_EQ(Field(ID_SETTINGS_ALTDIFF), "25");
}

TEST_F(SettingsPage, ApplyWritesItsKeysKeepsTheRestAndTellsTheMonitor) {
    Open("; mine\r\n[Main]\r\nDevLog=dev.log\r\nInterval=2500\r\n\r\n[Diagramm]\r\nLength=7\r\n");
    SetField(ID_SETTINGS_INTERVAL, "1500");
    SetField(ID_SETTINGS_FAILINTERVAL, "99999"); // brought into the range
    SetField(ID_SETTINGS_STATINTERVAL, "text");  // no integer: the minimum
    SetField(ID_SETTINGS_TIMEOUT, "3000");
    SetField(ID_SETTINGS_PORT, "\\\\.\\COM12");
    Click(Item(ID_SETTINGS_DTR));
    SetField(ID_SETTINGS_MINVOLTAGE, "10.5");
    SetField(ID_SETTINGS_MAXVOLTAGE, "13.66");
    Click(Item(ID_SETTINGS_ALTDETECTION));
    session.Sync();
    SetField(ID_SETTINGS_ALTDIFF, "20");
    TPosted apply{};
    session.Monitor().Clear();
    Click(Item(ID_SETTINGS_APPLY));
    ASSERT_TRUE(session.Monitor().WaitFor(UM_APPLYSETTINGS, &apply));
    EXPECT_EQ(apply.WParam, 0u);
    EXPECT_EQ(ReadFile("Kovrin.ini"),
              "; mine\r\n[Main]\r\nDevLog=dev.log\r\nInterval=1500\r\nFailInterval=60000\r\n"
              "StatInterval=500\r\nTimeOut=3000\r\nPort=\\\\.\\COM12\r\nDTR=0\r\nRTS=1\r\n"
              "MinBattVoltage=10.5\r\nMaxBattVoltage=13.7\r\nAltTransDiff=20\r\n"
              "NutServer=0\r\nNutListen=127.0.0.1\r\nNutTcpPort=3493\r\nNutUpsName=ups\r\n"
              "NutUser=monuser\r\nNutPassword=\r\n\r\n[Diagramm]\r\nLength=7\r\n");
    EXPECT_EQ(Field(ID_SETTINGS_FAILINTERVAL), "60000");
    EXPECT_EQ(Field(ID_SETTINGS_STATINTERVAL), "500");

    // Stored with one decimal, shown with two at the next opening.
    session.Close();
    ASSERT_TRUE(session.Open());
    EXPECT_EQ(Field(ID_SETTINGS_MAXVOLTAGE), "13.70");
    EXPECT_EQ(Field(ID_SETTINGS_PORT), "\\\\.\\COM12");
}

TEST_F(SettingsPage, AVoltageThatIsNoNumberStopsTheApplying) {
    Open("[Main]\r\nInterval=2500\r\nMaxBattVoltage=13.0\r\n");
    const std::string before = ReadFile("Kovrin.ini");
    SetField(ID_SETTINGS_MAXVOLTAGE, "13..6");
    session.Monitor().Clear();
    Click(Item(ID_SETTINGS_APPLY));
    TBox box = WaitForBox(session.Main());
    ASSERT_TRUE(box.Hwnd);
    EXPECT_EQ(box.Caption, "Ошибка");
    EXPECT_NE(box.Message.find("\"13..6\""), std::string::npos) << box.Message;
    EXPECT_TRUE(PressBoxButton(box, IDOK));
    session.Monitor().Pump(200ms);
    EXPECT_TRUE(session.Monitor().Posted(UM_APPLYSETTINGS).empty());
    EXPECT_EQ(ReadFile("Kovrin.ini"), before);
    SetField(ID_SETTINGS_MAXVOLTAGE, "");
    Click(Item(ID_SETTINGS_APPLY));
    box = WaitForBox(session.Main());
    EXPECT_NE(box.Message.find("\"\""), std::string::npos) << box.Message;
    EXPECT_TRUE(PressBoxButton(box, IDOK));
    EXPECT_EQ(ReadFile("Kovrin.ini"), before);
}

TEST_F(SettingsPage, TheVoltageFieldsTakeDigitsAndThePointOnly) {
    Open("");
    HWND field = Item(ID_SETTINGS_MINVOLTAGE);
    SetField(ID_SETTINGS_MINVOLTAGE, "");
    TypeText(field, "1a2,\b.5-e");
    session.Sync();
    EXPECT_EQ(Text(field), "12.5"); // Backspace too is dropped
    // The Delete key is no character: it still edits.
    SendMessageA(field, EM_SETSEL, 0, 1);
    PressKey(field, VK_DELETE);
    session.Sync();
    EXPECT_EQ(Text(field), "2.5");
}

TEST_F(SettingsPage, SpinFieldsStepAndBringTypedValuesIntoRange) {
    Open("[Main]\r\nInterval=2500\r\n");
    HWND interval = Item(ID_SETTINGS_INTERVAL);
    PressKey(interval, VK_UP);
    session.Sync();
    EXPECT_EQ(Text(interval), "3000");
    SetField(ID_SETTINGS_INTERVAL, "70000");
    SendMessageA(interval, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(Text(interval), "60000");
    SetField(ID_SETTINGS_TIMEOUT, "9950");
    PressKey(Item(ID_SETTINGS_TIMEOUT), VK_UP);
    session.Sync();
    EXPECT_EQ(Field(ID_SETTINGS_TIMEOUT), "9999");
}

TEST_F(SettingsPage, TheDestructionWritesWhatIsInMemoryAndThePosition) {
    Open("[Main]\r\nInterval=2000\r\nMinBattVoltage=0\r\nMaxBattVoltage=0\r\n");
    SetField(ID_SETTINGS_INTERVAL, "5000"); // not applied: lost
    // The rating's defaults for a 12 V battery are kept from memory.
    session.SendRating(MakeRating(220, 12, 50, 3));
    session.Sync();
    EXPECT_EQ(Field(ID_SETTINGS_MINVOLTAGE), "10.00");
    EXPECT_EQ(Field(ID_SETTINGS_MAXVOLTAGE), "13.50");
    SetWindowPos(session.Main(), nullptr, 210, 170, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    session.Close();
    EXPECT_EQ(IniValue("Interval"), "2000");
    EXPECT_EQ(IniValue("FormLeft"), "210");
    EXPECT_EQ(IniValue("FormTop"), "170");
    EXPECT_EQ(IniValue("MinBattVoltage"), "10.0");
    EXPECT_EQ(IniValue("MaxBattVoltage"), "13.5");
    EXPECT_EQ(IniValue("StatInterval"), "10000");
    const std::string text = ReadFile("Kovrin.ini");
    EXPECT_LT(text.find("FormTop="), text.find("FormLeft="));
    EXPECT_LT(text.find("FormLeft="), text.find("FailInterval="));
}

TEST_F(SettingsPage, AFileThatCannotBeWrittenIsReportedAndKeptAsItWas) {
    Open("[Main]\r\nInterval=2500\r\n; by hand\r\n");
    const std::string before = ReadFile("Kovrin.ini");
    // Another program holds the file open without sharing it.
    struct THeld {
        HANDLE H;
        ~THeld() { Free(); }
        void Free() {
            if (H != INVALID_HANDLE_VALUE) CloseHandle(H);
            H = INVALID_HANDLE_VALUE;
        }
    } held{CreateFileA(ProgramFile("Kovrin.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                       0, nullptr)};
    ASSERT_NE(held.H, INVALID_HANDLE_VALUE);
    SetField(ID_SETTINGS_INTERVAL, "4000");
    session.Monitor().Clear();
    Click(Item(ID_SETTINGS_APPLY));
    TBox box = WaitForBox(session.Main());
    ASSERT_TRUE(box.Hwnd);
    EXPECT_EQ(box.Caption, "Ошибка");
    EXPECT_NE(box.Message.find("Kovrin.ini"), std::string::npos) << box.Message;
    EXPECT_TRUE(PressBoxButton(box, IDOK));
    session.Monitor().Pump(200ms);
    EXPECT_TRUE(session.Monitor().Posted(UM_APPLYSETTINGS).empty());

    // Closed by the user: the failure is told again, and the file stays as it was.
    PostMessageA(session.Main(), WM_CLOSE, 0, 0);
    box = WaitForBox(session.Main());
    ASSERT_TRUE(box.Hwnd);
    EXPECT_TRUE(PressBoxButton(box, IDCANCEL));
    EXPECT_TRUE(session.Monitor().WaitFor(UM_DIALOGCLOSED));
    session.Close();
    held.Free();
    EXPECT_EQ(ReadFile("Kovrin.ini"), before);

    // Free again: the next applying writes it.
    Open("");
    SetField(ID_SETTINGS_INTERVAL, "4000");
    ASSERT_TRUE(Apply());
    EXPECT_EQ(IniValue("Interval"), "4000");
    EXPECT_NE(ReadFile("Kovrin.ini").find("; by hand"), std::string::npos);
}

TEST_F(SettingsPage, AutorunAddsAndRemovesExactlyItsValue) {
    const std::map<std::string, std::string> before = RunValues();
    const auto kept = before.find("Kovrin");
    const std::string keptValue = kept == before.end() ? "" : kept->second;
    SetRunValue("Kovrin", nullptr);
    const std::string other = "C:\\other\\program.exe /quiet";
    SetRunValue("KovrinTestNeighbour", &other);
    const std::map<std::string, std::string> start = RunValues();

    Open("");
    HWND box = Item(ID_SETTINGS_AUTORUN);
    EXPECT_FALSE(Checked(box));
    Click(box);
    session.Sync();
    EXPECT_TRUE(Checked(box));
    std::map<std::string, std::string> now = RunValues();
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    EXPECT_EQ(now["Kovrin"], exe);
    now.erase("Kovrin");
    EXPECT_EQ(now, start);

    // The next opening finds the entry and ticks the box.
    session.Close();
    Open("");
    EXPECT_TRUE(Checked(Item(ID_SETTINGS_AUTORUN)));
    Click(Item(ID_SETTINGS_AUTORUN));
    session.Sync();
    EXPECT_FALSE(Checked(Item(ID_SETTINGS_AUTORUN)));
    EXPECT_EQ(RunValues(), start);

    SetRunValue("KovrinTestNeighbour", nullptr);
    SetRunValue("Kovrin", kept == before.end() ? nullptr : &keptValue);
    EXPECT_EQ(RunValues(), before);
}

// ---- Battery calibration

class Calibration : public SettingsPage {
protected:
    void Start() {
        Open("[Main]\r\nMinBattVoltage=12.0\r\nMaxBattVoltage=13.0\r\n");
        Begin();
        ASSERT_TRUE(session.Monitor().WaitFor(UM_REFRESH)); // the long test went out
        // The monitor answers every command; the long test's answer is empty.
        session.SendAnswer("");
        session.Sync();
    }
    // The button pressed and the question answered with Yes.
    void Begin() {
        session.PostLinkState(0);
        session.SendRating(MakeRating(220, 12, 50, 3));
        session.SendStatus(MakeStatus(230, 230, 13.62f));
        session.Sync();
        session.Monitor().Clear();
        Click(Item(ID_SETTINGS_CALIBRATE));
        TBox question = WaitForBox(session.Main());
        ASSERT_TRUE(question.Hwnd);
        EXPECT_EQ(question.Caption, "Внимание!");
        EXPECT_EQ(question.Message.rfind("Эта функция позволяет экспериментальным путем", 0), 0u);
        EXPECT_NE(question.Message.find("после нажатия \"OK\" нужно вручную"), std::string::npos);
        ASSERT_TRUE(PressBoxButton(question, IDYES));
        ASSERT_TRUE(session.Monitor().WaitFor(UM_SUSPEND));
    }
    // The posts since the last Clear, as "message wParam [argument]".
    std::vector<std::string> Posts() {
        std::vector<std::string> out;
        for (const TPosted& p : session.Monitor().AllPosted()) {
            std::string line = std::to_string(p.Msg) + " " + std::to_string(p.WParam);
            if (p.Msg == UM_RUNCOMMAND && p.LParam)
                line += " " + std::string(reinterpret_cast<const char*>(p.LParam));
            out.push_back(line);
        }
        return out;
    }
};

TEST_F(Calibration, RunsTheLongTestWithTheMonitorSuspended) {
    Start();
    EXPECT_EQ(Posts(), (std::vector<std::string>{"1031 1", "1032 3 99", "1034 0"}));
    EXPECT_EQ(Field(ID_SETTINGS_CALIBRATE), "Остановить");
    EXPECT_EQ(Text(session.Main()), "Tarvo [version 0.35b]: Калибровка батареи.");
    EXPECT_EQ(IniValue("MaxBattVoltage"), "13.6"); // at once
    EXPECT_EQ(Field(ID_SETTINGS_MAXVOLTAGE), "13.62");

    // The low-water mark, written at once.
    for (float v : {12.4f, 11.8f, 12.1f, 11.43f})
        session.SendStatus(MakeStatus(0, 220, v, 50, 30, 25, 40, 0x0041));
    session.Sync();
    EXPECT_EQ(IniValue("MinBattVoltage"), "11.4");

    // The button again: stopped, with its message.
    session.Monitor().Clear();
    Click(Item(ID_SETTINGS_CALIBRATE));
    TBox box = WaitForBox(session.Main());
    ASSERT_TRUE(box.Hwnd);
    EXPECT_EQ(box.Caption, "Внимание!");
    EXPECT_EQ(box.Message,
              "Процесс прерван. Текущее напряжение батареи будет считаться минимальным.");
    EXPECT_EQ(Text(session.Main()), "Tarvo [version 0.35b]");
    EXPECT_TRUE(PressBoxButton(box, IDOK));
    session.Sync();
    EXPECT_EQ(Posts(), (std::vector<std::string>{"1032 8", "1034 0", "1031 0", "1025 0"}));
    EXPECT_EQ(Field(ID_SETTINGS_CALIBRATE), "Определить");
    EXPECT_EQ(IniValue("MinBattVoltage"), "11.4"); // the last reading
    EXPECT_EQ(Field(ID_SETTINGS_MINVOLTAGE), "11.43");
}

TEST_F(Calibration, EndsWithSuccessWhenTheUpsFallsSilent) {
    Start();
    session.SendStatus(MakeStatus(0, 220, 10.62f, 50, 30, 25, 5, 0x0043));
    session.Sync();
    session.Monitor().Clear();
    session.PostLinkState(1);
    TBox box = WaitForBox(session.Main());
    ASSERT_TRUE(box.Hwnd);
    EXPECT_EQ(box.Caption, "Внимание!");
    EXPECT_EQ(box.Message, "UPS прекратил реагировать на запросы. Вероятно батарея истощилась и "
                           "он отключился.\rКалибровка батареи успешно завершена.");
    EXPECT_EQ(Text(session.Main()), "Tarvo [version 0.35b]: Нет ответа от UPS.");
    // The monitor, its link lost, answers the stop command with no answer while the box is
    // up: that ends no wait of the window's, so the window stays under its box, and shows
    // nothing for a command the user never typed.
    session.SendNoAnswer();
    session.Sync();
    EXPECT_FALSE(IsWindowEnabled(session.Main()));
    EXPECT_TRUE(IsWindowVisible(box.Hwnd));
    const std::vector<std::string> lines = TerminalLines(Item(ID_TERMINAL_TEXT));
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), "<нет ответа от UPS>") == lines.end());
    EXPECT_TRUE(PressBoxButton(box, IDOK));
    session.Sync();
    EXPECT_TRUE(IsWindowEnabled(session.Main()));
    EXPECT_EQ(Posts(), (std::vector<std::string>{"1032 8", "1034 0", "1031 0", "1025 0"}));
    EXPECT_EQ(Field(ID_SETTINGS_CALIBRATE), "Определить");
    EXPECT_FALSE(IsWindowEnabled(Item(ID_SETTINGS_CALIBRATE))); // the link is down
    EXPECT_EQ(IniValue("MinBattVoltage"), "10.6");
    EXPECT_EQ(IniValue("MaxBattVoltage"), "13.6");
    // Idle again: a second loss of answer is the plain error.
    session.PostLinkState(1);
    box = WaitForBox(session.Main());
    EXPECT_EQ(box.Caption, "Ошибка!");
    EXPECT_TRUE(PressBoxButton(box, IDOK));
}

TEST_F(Calibration, ClosingTheWindowAsksAndStopsIt) {
    Start();
    session.Monitor().Clear();
    PostMessageA(session.Main(), WM_CLOSE, 0, 0);
    TBox box = WaitForBox(session.Main());
    ASSERT_TRUE(box.Hwnd);
    EXPECT_NE(box.Message.find("во время калибровки"), std::string::npos);
    EXPECT_TRUE(PressBoxButton(box, IDNO));
    session.Sync();
    EXPECT_TRUE(session.Monitor().Posted(UM_DIALOGCLOSED).empty());
    EXPECT_EQ(Field(ID_SETTINGS_CALIBRATE), "Остановить");
    PostMessageA(session.Main(), WM_CLOSE, 0, 0);
    box = WaitForBox(session.Main());
    EXPECT_TRUE(PressBoxButton(box, IDYES));
    ASSERT_TRUE(session.Monitor().WaitFor(UM_DIALOGCLOSED));
    EXPECT_EQ(Posts(),
              (std::vector<std::string>{"1032 8", "1034 0", "1031 0", "1025 0", "1027 0"}));
    EXPECT_EQ(Field(ID_SETTINGS_CALIBRATE), "Определить");
}

// A close asked by the monitor's tray menu comes in a send: the question must not hold the
// monitor, which goes on polling while the user thinks.
TEST_F(Calibration, TheQuestionOfAClosingDoesNotHoldTheMonitor) {
    Start();
    session.Monitor().Clear();
    DWORD_PTR result = 0;
    const auto start = std::chrono::steady_clock::now();
    const LRESULT sent =
        SendMessageTimeoutA(session.Main(), WM_CLOSE, 0, 0, SMTO_NORMAL, 3000, &result);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    EXPECT_NE(sent, 0) << "the send timed out: the monitor was held by the question";
    EXPECT_LT(took.count(), 1000);
    TBox box = WaitForBox(session.Main());
    ASSERT_TRUE(box.Hwnd);
    EXPECT_NE(box.Message.find("во время калибровки"), std::string::npos);
    // Still there for the user, with the monitor free.
    session.Monitor().Pump(300ms);
    EXPECT_TRUE(IsWindowVisible(box.Hwnd));
    EXPECT_TRUE(PressBoxButton(box, IDYES));
    ASSERT_TRUE(session.Monitor().WaitFor(UM_DIALOGCLOSED));
    EXPECT_EQ(Posts(),
              (std::vector<std::string>{"1032 8", "1034 0", "1031 0", "1025 0", "1027 0"}));
}

// The monitor's own ending does not wait for answers: the calibration is stopped (the
// UPS's long test cancelled, the monitor's actions resumed) and the window ends in time.
TEST_F(Calibration, TheFinalCloseStopsItWithoutAsking) {
    Start();
    session.Monitor().Clear();
    const auto start = std::chrono::steady_clock::now();
    session.Library().Destroy();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    EXPECT_LT(took.count(), 500);
    session.Monitor().Pump(100ms);
    EXPECT_EQ(Posts(), (std::vector<std::string>{"1032 8", "1034 0", "1031 0", "1025 0"}));
    EXPECT_EQ(IniValue("MaxBattVoltage"), "13.6");
    session.Close();
}

// The window's one command buffer: a command still unanswered keeps its text when the
// calibration starts, and the calibration's long test follows it.
TEST_F(Calibration, ItsCommandsWaitTheirTurnForTheOneCommandBuffer) {
    TCustomCommand test{};
    test.Id = 4;
    test.Code = CMD_TESTMINUTES;
    test.Description.Assign("Тест 5 минут");
    test.Parameter.Assign("05");
    WriteFile("CustCmds.ups", Bytes(std::vector<TCustomCommand>{test}));
    Open("[Main]\r\nMinBattVoltage=12.0\r\nMaxBattVoltage=13.0\r\n");
    SelectTab(session.Main(), 1);
    SelectListRow(Item(ID_COMMANDS_LIST), 0);
    Click(Item(ID_COMMANDS_EXECUTE));
    session.Sync();
    SelectTab(session.Main(), SettingsTab);
    Begin(); // while "05" waits for its answer
    session.Monitor().Pump(100ms);
    EXPECT_EQ(Posts(), (std::vector<std::string>{"1031 1"}));
    ASSERT_EQ(session.Monitor().Posted(UM_RUNCOMMAND).size(), 0u);
    session.Monitor().Clear();
    // Execute's own post, read now as the monitor would when it gets round to it.
    session.SendAnswer("");
    ASSERT_TRUE(session.Monitor().WaitFor(UM_REFRESH));
    EXPECT_EQ(Posts(), (std::vector<std::string>{"1032 3 99", "1034 0"}));
    EXPECT_EQ(Field(ID_SETTINGS_CALIBRATE), "Остановить");
}

TEST_F(Calibration, DoesNotStartWithoutABatteryReading) {
    Open("");
    session.Monitor().Clear();
    Click(Item(ID_SETTINGS_CALIBRATE));
    TBox box = WaitForBox(session.Main());
    ASSERT_TRUE(box.Hwnd);
    EXPECT_NE(box.Message.find("Напряжение батареи еще не известно"), std::string::npos);
    EXPECT_TRUE(PressBoxButton(box, IDOK));
    session.Sync();
    EXPECT_TRUE(session.Monitor().AllPosted().empty());
    EXPECT_EQ(Field(ID_SETTINGS_CALIBRATE), "Определить");
}
