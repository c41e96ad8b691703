#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "common/commands.h"
#include "dialog/mainwindow/terminal_ids.h"
#include "harness.h"
#include "terminal_steps.h"

using namespace dialogtest;

namespace {

constexpr COLORREF White = RGB(255, 255, 255), Yellow = RGB(255, 255, 0), Grey = RGB(128, 128, 128);
constexpr char Status[] = "(230.0 195.0 229.0 025 50.0 13.6 31.0 00001000";

class Terminal : public ::testing::Test {
protected:
    void SetUp() override { RemoveDataFiles(); }
    void Open() {
        ASSERT_TRUE(session.Open());
        main = session.Main();
        SelectTab(main, 4);
        terminal = FindById(main, ID_TERMINAL_TEXT);
        ASSERT_TRUE(terminal);
        session.Monitor().Clear();
    }
    // Typed characters are posted; the test goes on once all of them are in.
    void Type(const std::string& text) {
        std::size_t expected = TerminalText(terminal).size();
        for (const char c : text)
            expected += c != '\t';
        TypeText(terminal, text);
        WaitUntil([&] { return TerminalText(terminal).size() >= expected; });
        session.Sync();
    }
    void Enter() {
        PressKey(terminal, VK_RETURN);
        session.Sync();
    }
    std::vector<TPosted> Runs() {
        session.Monitor().Pump();
        return session.Monitor().Posted(UM_RUNCOMMAND);
    }
    void RemoveLastCharacter() {
        const LONG end = static_cast<LONG>(TerminalText(terminal).size());
        CHARRANGE last{end - 1, end};
        SendMessageA(terminal, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&last));
        SendMessageA(terminal, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
    }
    HWND WaitWindow() {
        for (HWND w : ThreadWindows(main))
            if (Text(w) == "Ожидайте!") return w;
        return nullptr;
    }

    TSession session;
    HWND main = nullptr, terminal = nullptr;
};

} // namespace

TEST_F(Terminal, LooksAsAUserExpects) {
    Open();
    EXPECT_EQ(ClassOf(terminal), "RichEdit20A");
    const LONG_PTR style = GetWindowLongPtrA(terminal, GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_HSCROLL);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_EQ(SendMessageA(terminal, EM_GETTEXTMODE, 0, 0) & TM_RICHTEXT, TM_RICHTEXT);
    CHARFORMAT2A f{};
    f.cbSize = sizeof f;
    SendMessageA(terminal, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&f));
    EXPECT_STREQ(f.szFaceName, "Courier New");
    EXPECT_EQ(f.yHeight, 160); // 8 points in twips
    EXPECT_TRUE(f.dwEffects & CFE_BOLD);
    EXPECT_EQ(f.bCharSet, RUSSIAN_CHARSET);
    EXPECT_EQ(f.crTextColor, White);
    RECT r;
    GetClientRect(terminal, &r);
    // The window thread paints in its own time: once, under load, the first look came
    // before the black background was on the screen.
    COLORREF seen = 0;
    EXPECT_TRUE(WaitUntil([&] {
        seen = PixelAt(terminal, r.right / 2, r.bottom / 2);
        return seen == RGB(0, 0, 0);
    })) << std::hex
        << seen;
}

TEST_F(Terminal, EnterSendsOnlyANonEmptyLastLineWithTheCaretOnIt) {
    WriteFile("Term.ups", "Q1\r\nold answer\r\n");
    Open();
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", "old answer", ""}));
    Enter(); // on the empty last line
    EXPECT_TRUE(Runs().empty());
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", "old answer", ""}));

    Type("QS");
    SetCaret(terminal, 1); // inside "Q1"
    Enter();
    EXPECT_TRUE(Runs().empty());
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", "old answer", "QS"}));
    EXPECT_TRUE(session.Monitor().Posted(UM_REFRESH).empty());

    CaretToEnd(terminal);
    Enter();
    const std::vector<TPosted> runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].WParam, CMD_CUSTOM);
    EXPECT_STREQ(reinterpret_cast<const char*>(runs[0].LParam), "QS");
    session.SendAnswer("(QS\r");
    session.Sync();
}

TEST_F(Terminal, ACommandWaitsForItsAnswerWhichShowsInYellow) {
    Open();
    Type("Q1");
    Enter();
    session.Monitor().Pump();
    const std::vector<TPosted>& all = session.Monitor().AllPosted();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Msg, static_cast<UINT>(UM_RUNCOMMAND));
    EXPECT_EQ(all[0].WParam, 11u);
    EXPECT_STREQ(reinterpret_cast<const char*>(all[0].LParam), "Q1");
    EXPECT_EQ(all[1].Msg, static_cast<UINT>(UM_REFRESH));
    EXPECT_EQ(all[1].WParam, 0u);
    EXPECT_EQ(all[1].LParam, 0);
    // The caret went on to a new line; the window waits.
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", ""}));
    EXPECT_FALSE(IsWindowEnabled(main));
    ASSERT_TRUE(WaitWindow());

    session.SendAnswer((std::string(Status) + "\r").c_str());
    session.Sync();
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", Status, ""}));
    EXPECT_EQ(LineColor(terminal, 0), White);
    EXPECT_EQ(LineColor(terminal, 1), Yellow);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_FALSE(WaitWindow());
    // What is typed next is white again, on the empty line.
    Type("F");
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", Status, "F"}));
    EXPECT_EQ(LineColor(terminal, 2), White);
}

TEST_F(Terminal, NoAnswerIsGreyAndEmptyAnswersShowAsTheyAre) {
    Open();
    Type("Q1");
    Enter();
    session.SendNoAnswer();
    session.Sync();
    EXPECT_EQ(TerminalLines(terminal), (std::vector<std::string>{"Q1", "<нет ответа от UPS>", ""}));
    EXPECT_EQ(LineColor(terminal, 1), Grey);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_FALSE(WaitWindow());

    // Only line ends: an empty line; nothing at all: nothing, and the waiting ends.
    Type("X");
    Enter();
    session.SendAnswer("\r\n\r");
    session.Sync();
    Type("T");
    Enter();
    session.SendAnswer("");
    session.Sync();
    EXPECT_EQ(TerminalLines(terminal),
              (std::vector<std::string>{"Q1", "<нет ответа от UPS>", "X", "", "T", ""}));
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_FALSE(WaitWindow());
    // An answer nobody waited for ends nothing and breaks nothing.
    session.SendNoAnswer();
    session.Sync();
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(Terminal, TabNeverReachesTheTerminalAndTooLongALineIsRefused) {
    Open();
    Type("Q\t1");
    PressKey(terminal, VK_TAB);
    session.Sync();
    EXPECT_EQ(TerminalText(terminal), "Q1");

    CaretToEnd(terminal);
    Type(std::string(254, 'x'));
    Enter(); // 256 characters
    EXPECT_TRUE(Runs().empty());
    EXPECT_EQ(TerminalLines(terminal).size(), 1u);
    EXPECT_TRUE(IsWindowEnabled(main));
    RemoveLastCharacter(); // back to 255
    Enter();
    const std::vector<TPosted> runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(runs[0].LParam)).size(), 255u);
    session.SendNoAnswer();
    session.Sync();
}

TEST_F(Terminal, HistoryKeepsEveryLineAndColourAcrossOpenings) {
    Open();
    Type("Q1");
    Enter();
    session.SendAnswer((std::string(Status) + "\r").c_str());
    session.Sync();
    Type("Тест");
    Enter();
    session.SendNoAnswer();
    session.Sync();
    const std::vector<std::string> shown = TerminalLines(terminal);
    session.Close();
    const std::string saved = ReadFile("Term.ups");
    EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u);
    EXPECT_FALSE(FileExists("Term.ups.tmp"));

    for (int opening = 0; opening < 2; ++opening) {
        Open();
        EXPECT_EQ(TerminalLines(terminal), shown) << opening;
        EXPECT_EQ(LineColor(terminal, 0), White);
        EXPECT_EQ(LineColor(terminal, 1), Yellow);
        EXPECT_EQ(LineColor(terminal, 2), White);
        EXPECT_EQ(LineColor(terminal, 3), Grey);
        // The caret at the end: typing goes on the empty last line.
        Type("I");
        EXPECT_EQ(TerminalLines(terminal).back(), "I");
        RemoveLastCharacter();
        session.Close();
    }
}

TEST_F(Terminal, APlainTextHistoryIsTakenAsText) {
    WriteFile("Term.ups", "Q1\r\n(230.0\r\nпривет {не rtf}\r\n");
    Open();
    EXPECT_EQ(TerminalLines(terminal),
              (std::vector<std::string>{"Q1", "(230.0", "привет {не rtf}", ""}));
    EXPECT_EQ(LineColor(terminal, 2), White);
}

TEST_F(Terminal, WithoutAMonitorItIsAPlainTextField) {
    TLibrary library;
    ASSERT_TRUE(library.Load());
    library.Create(nullptr);
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        window = FindWindowA("TarvoForm", "Tarvo [version 0.35b]");
        return window && IsWindowVisible(window);
    }));
    HWND text = FindById(window, ID_TERMINAL_TEXT);
    ASSERT_TRUE(text);
    TypeText(text, "Q1");
    PressKey(text, VK_RETURN);
    TypeText(text, "F");
    // The keys are posted; a sent message may overtake them, so wait for the text itself.
    const std::vector<std::string> expected{"Q1", "F"};
    EXPECT_TRUE(WaitUntil([&] { return TerminalLines(text) == expected; }));
    EXPECT_EQ(TerminalLines(text), expected);
    EXPECT_TRUE(IsWindowEnabled(window));
    library.Destroy();
}

// A history the window did not write: it opens promptly and shows what it can.
TEST_F(Terminal, HugeOrDamagedHistoriesOpenPromptly) {
    std::string fiveMegabytes = "{\\rtf1\\ansi{\\colortbl ;\\red255\\green255\\blue0;}";
    while (fiveMegabytes.size() < 5 * 1024 * 1024)
        fiveMegabytes += "\\cf1 (230.0 195.0 229.0 025 50.0 13.6 31.0 00001000\\par\nQ1\\par\n";
    fiveMegabytes += "\\cf0 the end\\par\n}";
    std::mt19937 random(5);
    std::string noise(5 * 1024 * 1024, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    const std::string whole = "{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}\\cf1 first\\par "
                              "second\\par third}";
    struct TCase {
        const char* Name;
        std::string Bytes;
        std::string LastText; // the last line with text
    };
    const TCase cases[] = {
        {"5 MB of RTF", fiveMegabytes, "the end"},
        {"5 MB of random bytes", noise, ""},
        {"RTF cut in the middle", whole.substr(0, whole.find("third") + 2), "th"},
        {"groups that never close", "{\\rtf1 {{{{{\\b a\\par {{{b", "b"},
        {"a million nested groups", "{\\rtf1 " + std::string(1000000, '{') + "deep", "deep"},
    };
    for (const TCase& c : cases) {
        WriteFile("Term.ups", c.Bytes);
        const auto start = std::chrono::steady_clock::now();
        Open();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        std::printf("%s: the window opened in %lld ms\n", c.Name, static_cast<long long>(ms));
        EXPECT_LT(ms, 5000) << c.Name;
        std::vector<std::string> lines = TerminalLines(terminal);
        while (lines.size() > 1 && lines.back().empty())
            lines.pop_back();
        if (!c.LastText.empty()) {
            EXPECT_EQ(lines.back(), c.LastText) << c.Name;
        }
        EXPECT_LE(lines.size(), 2001u) << c.Name;
        session.Close();
    }
    // The window's own history of such a file is small and well-formed.
    EXPECT_LT(ReadFile("Term.ups").size(), 1024u * 1024);
}

TEST_F(Terminal, AnOpeningWithoutHistoryAsTheBaseline) {
    const auto start = std::chrono::steady_clock::now();
    Open();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    std::printf("no history: the window opened in %lld ms\n", static_cast<long long>(ms));
    EXPECT_EQ(TerminalText(terminal), "");
}
