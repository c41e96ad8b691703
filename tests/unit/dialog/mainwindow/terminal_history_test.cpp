#include "dialog/mainwindow/terminal_history.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace {

constexpr std::uint32_t White = 0x00FFFFFF, Yellow = 0x0000FFFF, Grey = 0x00808080;

std::vector<std::string> Texts(const TTermHistory& h) {
    std::vector<std::string> out;
    for (const TTermLine& line : h)
        out.push_back(line.Text());
    return out;
}

TTermLine Line(std::string text, std::uint32_t color = TermDefaultColor) {
    return {{{std::move(text), color}}};
}

} // namespace

TEST(TerminalHistory, PlainTextIsReadLineByLineWithoutControlCharacters) {
    EXPECT_FALSE(LooksLikeRtf("Q1\r\n"));
    const TTermHistory h = ParseHistory(std::string("Q1\r\n(230.0\rF\nx\0y\x01z\tw\r\n", 22));
    EXPECT_EQ(Texts(h), (std::vector<std::string>{"Q1", "(230.0", "F", "xyz\tw", ""}));
    for (const TTermLine& line : h)
        for (const TTermRun& run : line.Runs)
            EXPECT_EQ(run.Color, TermDefaultColor);
    EXPECT_EQ(Texts(ParseHistory("")), (std::vector<std::string>{""}));
}

TEST(TerminalHistory, OurOwnDocumentComesBackWithEveryColour) {
    TTermHistory h{Line("Q1"), Line("(230.0 Ответ {x} \\y", Yellow),
                   Line("<нет ответа от UPS>", Grey),
                   TTermLine{{{"T", TermDefaultColor}, {"\tбыло", Yellow}}}, Line("")};
    const std::string rtf = HistoryToRtf(h, White);
    EXPECT_TRUE(LooksLikeRtf(rtf));
    const TTermHistory back = ParseHistory(rtf);
    ASSERT_EQ(Texts(back), Texts(h));
    EXPECT_EQ(back[0].Runs[0].Color, White);
    EXPECT_EQ(back[1].Runs[0].Color, Yellow);
    EXPECT_EQ(back[2].Runs[0].Color, Grey);
    ASSERT_EQ(back[3].Runs.size(), 2u);
    EXPECT_EQ(back[3].Runs[1].Color, Yellow);
}

TEST(TerminalHistory, RtfAsRichEditControlsWriteIt) {
    // The shape a rich edit control saves: font and colour tables, an ignorable
    // destination, \uN with its fallback, Cyrillic as \'hh, a trailing paragraph mark.
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fmodern\\fprq1"
        "\\fcharset204 Courier New;}}\r\n{\\colortbl ;\\red255\\green255\\blue255;"
        "\\red255\\green255\\blue0;\\red128\\green128\\blue128;}\r\n"
        "{\\*\\generator Riched20 10.0;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs16 Q1\\par\r\n"
        "\\cf2 (230.0\\par\r\n\\cf3 <\\'ed\\'e5\\'f2 \\u1086\\'ee\\u1090?>\\par\r\n"
        "\\cf1\\par\r\n}\r\n";
    const TTermHistory h = ParseHistory(rtf);
    EXPECT_EQ(Texts(h), (std::vector<std::string>{"Q1", "(230.0", "<нет от>", "", ""}));
    EXPECT_EQ(h[0].Runs[0].Color, White);
    EXPECT_EQ(h[1].Runs[0].Color, Yellow);
    EXPECT_EQ(h[2].Runs[0].Color, Grey);
}

TEST(TerminalHistory, DamagedRtfGivesWhatItHasAndNeverMore) {
    // Cut in the middle, in a control word, in an escape.
    const std::string whole = HistoryToRtf({Line("first"), Line("second", Yellow)}, White);
    for (std::size_t cut = 0; cut <= whole.size(); ++cut)
        ParseHistory(whole.substr(0, cut)); // no crash, no overrun (under the sanitizers)
    const TTermHistory cut = ParseHistory(whole.substr(0, whole.find("second") + 3));
    EXPECT_EQ(Texts(cut), (std::vector<std::string>{"first", "sec"}));
    // Groups that never close, more closing than opening, absurd numbers.
    EXPECT_EQ(Texts(ParseHistory("{\\rtf1 a{\\b b{\\i c\\par d")),
              (std::vector<std::string>{"abc", "d"}));
    EXPECT_EQ(Texts(ParseHistory("{\\rtf1 a}}}} b\\cf99999999999 c\\uc999999 \\u-4000 d")),
              (std::vector<std::string>{"a bc?"})); // "d" is \u's fallback
    // \bin data may hold braces and is skipped whole, even when it claims too much.
    EXPECT_EQ(Texts(ParseHistory("{\\rtf1 a{\\bin3 }}}b}c")), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Texts(ParseHistory("{\\rtf1 a\\bin999999 xyz")), (std::vector<std::string>{"a"}));
}

TEST(TerminalHistory, DeepNestingAndRandomBytesCostOnePass) {
    std::string nested = "{\\rtf1 " + std::string(1000000, '{') + "deep\\par end";
    TTermHistory h = ParseHistory(nested);
    EXPECT_EQ(Texts(h), (std::vector<std::string>{"deep", "end"}));

    std::mt19937 random(11);
    std::string noise(1 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    for (const std::string& bytes : {noise, "{\\rtf" + noise}) {
        h = ParseHistory(bytes);
        TrimHistory(h);
        std::size_t chars = 0;
        for (const TTermLine& line : h)
            for (const char c : line.Text()) {
                ++chars;
                EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t');
            }
        EXPECT_LE(h.size(), TermHistoryMaxLines);
        EXPECT_LE(chars, TermHistoryMaxChars);
        // What is shown is well-formed for the control.
        EXPECT_EQ(Texts(ParseHistory(HistoryToRtf(h, White))), Texts(h));
    }
}

TEST(TerminalHistory, TrimKeepsTheNewestLinesAndOneEmptyLineAtTheEnd) {
    TTermHistory h;
    for (int i = 0; i < 5; ++i)
        h.push_back(Line("line" + std::to_string(i)));
    h.push_back(Line(""));
    h.push_back(Line(""));
    h.push_back(Line(""));
    TTermHistory t = h;
    TrimHistory(t, 3, 1000);
    EXPECT_EQ(Texts(t), (std::vector<std::string>{"line3", "line4", ""}));
    // Characters: "line4", its break and "" are 6; "line3" keeps 2 and its break.
    t = h;
    TrimHistory(t, 100, 9);
    EXPECT_EQ(Texts(t), (std::vector<std::string>{"e3", "line4", ""}));
    t = {Line(std::string(50, 'a') + std::string(10, 'b'))};
    TrimHistory(t, 100, 10);
    EXPECT_EQ(Texts(t), (std::vector<std::string>{std::string(10, 'b')}));
    // Text at the end (typed, not sent) stays the last line.
    t = {Line("Q1"), Line("(230"), Line("QS")};
    TrimHistory(t);
    EXPECT_EQ(Texts(t).back(), "QS");
}

TEST(TerminalHistory, FiveMegabytesParseAndTrimQuickly) {
    TTermHistory big;
    for (std::size_t size = 0; size < 5u * 1024 * 1024; size += 60) {
        big.push_back(Line("Q1"));
        big.push_back(Line("(230.0 195.0 229.0 025 50.0 13.6 31.0 00001000", Yellow));
    }
    big.push_back(Line("last", Grey));
    big.push_back(Line(""));
    const std::string rtf = HistoryToRtf(big, White);
    ASSERT_GT(rtf.size(), 5u * 1024 * 1024);
    const auto start = std::chrono::steady_clock::now();
    TTermHistory h = ParseHistory(rtf);
    TrimHistory(h);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_EQ(h.size(), TermHistoryMaxLines);
    EXPECT_EQ(h[h.size() - 2].Text(), "last");
    EXPECT_EQ(h[h.size() - 2].Runs[0].Color, Grey);
    std::printf("5 MB history: %zu bytes parsed and trimmed in %lld ms\n", rtf.size(),
                static_cast<long long>(ms));
}

TEST(TerminalHistory, UnicodeCharactersMapToTheCyrillicCodePage) {
    EXPECT_EQ(Cp1251FromUnicode('A'), 'A');
    EXPECT_EQ(Cp1251FromUnicode(0x0410), '\xC0'); // А
    EXPECT_EQ(Cp1251FromUnicode(0x044F), '\xFF'); // я
    EXPECT_EQ(Cp1251FromUnicode(0x0401), '\xA8'); // Ё
    EXPECT_EQ(Cp1251FromUnicode(0x0451), '\xB8'); // ё
    EXPECT_EQ(Cp1251FromUnicode(0x2116), '\xB9'); // №
    EXPECT_EQ(Cp1251FromUnicode(0x4E2D), '?');
}
