#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>

#include "common/datetime.h"
#include "dialog/diagram/diagram_ids.h"
#include "dialog/mainwindow/journal_ids.h"
#include "harness.h"
#include "window_steps.h"

using namespace dialogtest;

namespace {

const double Day = static_cast<double>(DaysFromCivil(2026, 3, 14));
constexpr double Second = 1.0 / 86400;

TStatRecord Stat(double time, float input, float battery = 13.5f) {
    TStatRecord r{};
    r.Time = time;
    r.Status.InputVoltage = input;
    r.Status.OutputVoltage = 220;
    r.Status.BatteryVoltage = battery;
    r.Status.InputFrequency = 50;
    r.Status.Load = 25;
    r.Status.BatteryCharge = 90;
    return r;
}

// The readout's first line and its line of a series.
std::string Axes(const std::string& readout) {
    return readout.substr(0, readout.find('\r'));
}
std::string SeriesLine(const std::string& readout, const std::string& caption) {
    const std::size_t at = readout.find("\n" + caption + ":");
    if (at == std::string::npos) return {};
    const std::size_t start = at + caption.size() + 3;
    return readout.substr(start, readout.find('\r', start) - start);
}

class Diagram : public ::testing::Test {
protected:
    void Open(const std::string& ini = "") {
        RemoveDataFiles();
        if (!ini.empty()) WriteFile("Kovrin.ini", ini);
        ASSERT_TRUE(session.Open());
        main = session.Main();
        SelectTab(main, 3);
    }
    void OpenDiagram() {
        Click(FindById(main, ID_JOURNAL_DIAGRAM));
        diagram = WaitForForm(main, "Диаграмма");
        ASSERT_TRUE(diagram);
        chart = FindById(diagram, ID_DIAG_CHART);
    }
    void CloseDiagram() {
        PostMessageA(diagram, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(diagram); }));
        session.Sync();
    }
    void Choose(const char* date, const char* time, int width) {
        SetWindowTextA(FindById(diagram, ID_DIAG_DATE), date);
        SetWindowTextA(FindById(diagram, ID_DIAG_TIME), time);
        ChooseInCombo(FindById(diagram, ID_DIAG_WIDTH), width);
    }
    void Refresh() {
        Click(FindById(diagram, ID_DIAG_REFRESH));
        session.Sync();
    }
    void Check(int series, bool on) {
        SendMessageA(FindById(diagram, ID_DIAG_SERIES + series), BM_SETCHECK,
                     on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    std::string Readout() { return LongText(chart); }

    TSession session;
    HWND main = nullptr, diagram = nullptr, chart = nullptr;
};

} // namespace

TEST_F(Diagram, OpensWithTheDefaultChoicesAndAnEmptyChart) {
    Open();
    OpenDiagram();
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_TRUE(GetWindowLongPtrA(diagram, GWL_STYLE) & WS_MAXIMIZEBOX);
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_DATE)), "01.01.04");
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_TIME)), "00:00:00");
    HWND width = FindById(diagram, ID_DIAG_WIDTH);
    EXPECT_EQ(SendMessageA(width, CB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(ComboText(width), "минута");
    const bool checked[] = {true, true, true, false, true, false};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(SendMessageA(FindById(diagram, ID_DIAG_SERIES + i), BM_GETCHECK, 0, 0) ==
                      BST_CHECKED,
                  checked[i])
            << i;
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_SERIES + 4)), "Нагрузка");
    EXPECT_EQ(Readout(), "Точек: 0; ось X: 0 - 99; ось Y: 0 - 100");
    // Without statistics a refresh draws nothing and says nothing.
    Refresh();
    EXPECT_TRUE(WaitNoBox(main, 300ms));
    EXPECT_EQ(Readout(), "Точек: 0; ось X: 0 - 99; ось Y: 0 - 100");
    CloseDiagram();
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(Diagram, PointsOfTheChosenWindow) {
    Open();
    std::vector<TStatRecord> stats;
    stats.push_back(Stat(Day + 0.25 - Second, 100)); // before the window
    for (int i = 0; i < 7; ++i)
        stats.push_back(Stat(Day + 0.25 + i * 5 * Second, 220.0f + i, 13.0f + i * 0.1f));
    stats.push_back(Stat(Day + 0.25 + 61 * Second, 100)); // after it
    WriteFile("Stat.ups", Bytes(stats));
    OpenDiagram();
    Choose("14.03.26", "06:00:00", 0); // a minute from 6 o'clock
    Check(2, false);
    Refresh();
    const std::string readout = Readout();
    EXPECT_EQ(Axes(readout), "Точек: 7; ось X: 0 - 6; ось Y: 0 - 250");
    EXPECT_EQ(SeriesLine(readout, "Входное напряжение"),
              "220.00 221.00 222.00 223.00 224.00 225.00 226.00");
    EXPECT_EQ(SeriesLine(readout, "Напряжение батареи"), "0.00 0.00 0.00 0.00 0.00 0.00 0.00");
    EXPECT_EQ(SeriesLine(readout, "Частота"), "0.00 0.00 0.00 0.00 0.00 0.00 0.00");
    EXPECT_EQ(SeriesLine(readout, "Нагрузка"), "25.00 25.00 25.00 25.00 25.00 25.00 25.00");

    // A window with no records keeps the drawing.
    Choose("14.03.27", "06:00:00", 7);
    Refresh();
    EXPECT_EQ(Readout(), readout);
    CloseDiagram();
}

TEST_F(Diagram, ManyRecordsSpreadOverAHundredPoints) {
    Open();
    std::vector<TStatRecord> stats;
    for (int i = 0; i < 250; ++i)
        stats.push_back(Stat(Day + i * 10 * Second, static_cast<float>(i)));
    WriteFile("Stat.ups", Bytes(stats) + std::string(20, '\x7f')); // a record being written
    OpenDiagram();
    Choose("14.03.26", "00:00:00", 3); // an hour
    Refresh();
    const std::string readout = Readout();
    EXPECT_EQ(Axes(readout).substr(0, 30), "Точек: 100; ось X: 0 - 99; ось");
    const std::string input = SeriesLine(readout, "Входное напряжение");
    EXPECT_EQ(input.substr(0, 27), "1.00 3.50 6.00 8.50 11.00 1") << input;
    EXPECT_EQ(input.substr(input.size() - 13), "246.00 248.50");
    CloseDiagram();
}

TEST_F(Diagram, TextsThatAreNoDateOrTimeAreRefusedWithTheConversionError) {
    Open();
    WriteFile("Stat.ups", Bytes(std::vector<TStatRecord>{Stat(Day, 230)}));
    OpenDiagram();
    Choose("", "00:00:00", 0);
    Click(FindById(diagram, ID_DIAG_REFRESH));
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Message, "'  .  .  ' is not a valid date");
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    Choose("14.03.26", "25:00:00", 0);
    Click(FindById(diagram, ID_DIAG_REFRESH));
    box = WaitForBox(main);
    EXPECT_EQ(box.Message, "'25:00:00' is not a valid time");
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    session.Sync();
    EXPECT_EQ(Axes(Readout()), "Точек: 0; ось X: 0 - 99; ось Y: 0 - 100");
    // The masks take digits only, into their places.
    HWND date = FindById(diagram, ID_DIAG_DATE);
    SetWindowTextA(date, "");
    SendMessageA(date, EM_SETSEL, 0, 0);
    TypeText(date, "1a403x26");
    session.Sync();
    EXPECT_EQ(Text(date), "14.03.26");
    CloseDiagram();
}

TEST_F(Diagram, ChoicesAreKeptInTheSettingsFileBesideEverythingElse) {
    const std::string before = "; hand-written\r\n[Main]\r\nPort=COM2\r\n\r\n[Diagramm]\r\n"
                               "Length=12\r\nBeginDate=no date\r\nOwn=kept\r\n";
    Open(before);
    OpenDiagram();
    // What the file held makes no choice: the defaults stand in.
    EXPECT_EQ(ComboText(FindById(diagram, ID_DIAG_WIDTH)), "минута");
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_DATE)), "01.01.04");
    Choose("14.03.26", "18:30:00", 6);
    Check(0, false);
    Check(5, true);
    CloseDiagram();
    EXPECT_EQ(ReadFile("Kovrin.ini"),
              "; hand-written\r\n[Main]\r\nPort=COM2\r\n\r\n[Diagramm]\r\nLength=6\r\n"
              "BeginDate=14.03.26\r\nOwn=kept\r\nBeginTime=18:30:00\r\nInpV=0\r\nOutV=1\r\n"
              "BatV=1\r\nFreq=0\r\nLoad=1\r\nCharg=1\r\n");
    OpenDiagram();
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_DATE)), "14.03.26");
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_TIME)), "18:30:00");
    EXPECT_EQ(ComboText(FindById(diagram, ID_DIAG_WIDTH)), "сутки");
    EXPECT_EQ(SendMessageA(FindById(diagram, ID_DIAG_SERIES + 0), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(FindById(diagram, ID_DIAG_SERIES + 5), BM_GETCHECK, 0, 0), BST_CHECKED);
    CloseDiagram();
}

// A close that reaches the window from elsewhere (another thread's send, as a program that
// plays the monitor or drives the window makes it) ends the window's run at once: its owner
// is usable again and its choices are written without any further message arriving.
TEST_F(Diagram, AClosingSentFromOutsideEndsTheRunAtOnce) {
    Open();
    OpenDiagram();
    Choose("14.03.26", "18:30:00", 6);
    session.Sync();
    const auto start = std::chrono::steady_clock::now();
    SendMessageA(diagram, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return IsWindowEnabled(main) &&
                   ReadFile("Kovrin.ini").find("Length=6") != std::string::npos;
        },
        1000ms));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("the diagram's run ended %lld ms after the close\n",
                static_cast<long long>(took.count()));
    // Well within a caret's blink, the next message that would otherwise wake the loop.
    EXPECT_LT(took.count(), 200);
}

TEST_F(Diagram, ASettingsFileThatCannotBeWrittenIsReported) {
    Open("[Main]\r\nPort=COM2\r\n");
    OpenDiagram();
    CreateDirectoryA(ProgramFile("Kovrin.ini.tmp").c_str(), nullptr);
    PostMessageA(diagram, WM_CLOSE, 0, 0);
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Caption, "Ошибка");
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    RemoveDirectoryA(ProgramFile("Kovrin.ini.tmp").c_str());
    EXPECT_EQ(ReadFile("Kovrin.ini"), "[Main]\r\nPort=COM2\r\n");
}

TEST_F(Diagram, TheRangeWindowWithoutStatisticsSaysSo) {
    Open();
    OpenDiagram();
    Click(FindById(diagram, ID_DIAG_RANGE));
    TBox box = WaitForBox(main);
    EXPECT_EQ(box.Caption, "Ошибка");
    EXPECT_EQ(box.Message, "Файл статистики отсутствует!");
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    session.Sync();
    EXPECT_FALSE(WaitForForm(main, "Выбор начальной точки") != nullptr);
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_DATE)), "01.01.04");
    // An empty file spans no days either.
    WriteFile("Stat.ups", "");
    Click(FindById(diagram, ID_DIAG_RANGE));
    box = WaitForBox(main);
    EXPECT_EQ(box.Message, "Файл статистики отсутствует!");
    ASSERT_TRUE(PressBoxButton(box, IDOK));
    CloseDiagram();
}

TEST_F(Diagram, TheRangeWindowPicksADayOfTheFile) {
    Open();
    WriteFile("Stat.ups", Bytes(std::vector<TStatRecord>{Stat(Day + 0.5, 230), Stat(Day + 3.2, 230),
                                                         Stat(Day + 9.75, 230)}));
    OpenDiagram();
    SetWindowTextA(FindById(diagram, ID_DIAG_TIME), "12:00:00");
    Click(FindById(diagram, ID_DIAG_RANGE));
    HWND range = WaitForForm(main, "Выбор начальной точки");
    ASSERT_TRUE(range);
    RECT client;
    GetClientRect(range, &client);
    EXPECT_EQ(client.right, 328);
    EXPECT_EQ(client.bottom, 82);
    HWND slider = FindById(range, ID_RANGE_SLIDER);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), static_cast<LRESULT>(Day));
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), static_cast<LRESULT>(Day) + 9);
    // The date field's 2004 is outside the file: the first day.
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), static_cast<LRESULT>(Day));
    EXPECT_EQ(Text(FindById(range, ID_RANGE_FIRST)), "14.03.2026");
    EXPECT_EQ(Text(FindById(range, ID_RANGE_LAST)), "23.03.2026");
    EXPECT_EQ(Text(FindById(range, ID_RANGE_CHOSEN)), "14.03.2026");
    // The user moves it four days on.
    SendMessageA(slider, TBM_SETPOS, TRUE, static_cast<LPARAM>(Day) + 4);
    SendMessageA(range, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0),
                 reinterpret_cast<LPARAM>(slider));
    EXPECT_EQ(Text(FindById(range, ID_RANGE_CHOSEN)), "18.03.2026");
    Click(FindById(range, ID_RANGE_OK));
    ASSERT_TRUE(WaitGone(range));
    session.Sync();
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_DATE)), "18.03.26");
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_TIME)), "12:00:00");
    EXPECT_TRUE(IsWindowEnabled(diagram));

    // A day within the file is where the slider starts; cancel changes nothing.
    Click(FindById(diagram, ID_DIAG_RANGE));
    range = WaitForForm(main, "Выбор начальной точки");
    ASSERT_TRUE(range);
    EXPECT_EQ(SendMessageA(FindById(range, ID_RANGE_SLIDER), TBM_GETPOS, 0, 0),
              static_cast<LRESULT>(Day) + 4);
    PostMessageA(range, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitGone(range));
    session.Sync();
    EXPECT_EQ(Text(FindById(diagram, ID_DIAG_DATE)), "18.03.26");
    CloseDiagram();
}
