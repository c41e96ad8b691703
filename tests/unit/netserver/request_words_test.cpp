#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/netserver/request_words.h"

namespace {

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    EXPECT_EQ(SplitRequest(line, words), TSplitResult::Ok) << line;
    return words;
}

using W = std::vector<std::string>;

} // namespace

TEST(RequestWords, BlanksSeparateQuotesGroupBackslashesEscape) {
    EXPECT_EQ(Words("GET VAR ups ups.status"), (W{"GET", "VAR", "ups", "ups.status"}));
    EXPECT_EQ(Words("  \tLIST\t\tUPS  "), (W{"LIST", "UPS"}));
    EXPECT_EQ(Words("SET VAR ups ups.id \"My UPS\""), (W{"SET", "VAR", "ups", "ups.id", "My UPS"}));
    EXPECT_EQ(Words("PASSWORD \"\""), (W{"PASSWORD", ""})) << "an empty pair is an empty word";
    EXPECT_EQ(Words("a\"b c\"d"), (W{"ab cd"})) << "quotes group within a word";
    EXPECT_EQ(Words(R"(x "say \"hi\"" y\ z)"), (W{"x", "say \"hi\"", "y z"}));
    EXPECT_EQ(Words(R"(back\\slash)"), (W{"back\\slash"}));
    EXPECT_EQ(Words("end\\"), (W{"end"})) << "a final backslash escapes nothing";
    EXPECT_EQ(Words(""), W{});
    EXPECT_EQ(Words(" \t "), W{});
    std::string binary("\x01\xff\x80", 3);
    EXPECT_EQ(Words(binary), (W{binary})) << "bytes other than blanks are word characters";
}

TEST(RequestWords, UnbalancedQuotesAndTooManyWordsAreRefused) {
    std::vector<std::string> words;
    EXPECT_EQ(SplitRequest("USERNAME \"open", words), TSplitResult::Unbalanced);
    EXPECT_EQ(SplitRequest(R"(a "b\")", words), TSplitResult::Unbalanced);
    std::string many;
    for (std::size_t i = 0; i < MaxRequestWords; ++i)
        many += "w ";
    EXPECT_EQ(SplitRequest(many, words), TSplitResult::Ok);
    EXPECT_EQ(words.size(), MaxRequestWords);
    EXPECT_EQ(SplitRequest(many + "one-more", words), TSplitResult::TooManyWords);
}

TEST(RequestWords, QuotedValuesEscapeWhatWouldBreakTheLine) {
    // That every word quotes and splits back to itself is the fuzz harness's to check.
    EXPECT_EQ(QuoteValue("OL"), "\"OL\"");
    EXPECT_EQ(QuoteValue(R"(a "b" \c)"), R"("a \"b\" \\c")");
    EXPECT_EQ(QuoteValue(std::string("x\ny\rz\x7f", 6)), "\"x y z \"") << "no line break escapes";
}

TEST(RequestWords, WordsIgnoreCaseSecretsDoNot) {
    EXPECT_TRUE(SameWord("list", "LIST"));
    EXPECT_TRUE(SameWord("Ups.Status", "ups.status"));
    EXPECT_FALSE(SameWord("LIST", "LISTS"));
    EXPECT_FALSE(SameWord("\xc0", "\xe0")) << "only ASCII letters fold";
    EXPECT_TRUE(SameSecret("secret", "secret"));
    EXPECT_FALSE(SameSecret("Secret", "secret"));
    EXPECT_FALSE(SameSecret("secret", "secret2"));
    EXPECT_FALSE(SameSecret("secret2", "secret"));
    EXPECT_FALSE(SameSecret("", "x"));
    EXPECT_TRUE(SameSecret("", ""));
    EXPECT_FALSE(SameSecret(std::string("a\0", 2), "a")) << "a NUL is no end of a secret";
}
