#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "dialog/help/help_browser.h"
#include "dialog/help/help_navigator.h"
#include "dialog/help/help_topics.h"
#include "dialog/help/help_url.h"

TEST(HelpUrl, BackslashesBecomeSlashesAndSpacesPercentTwenty) {
    const std::string path = HelpDocumentPath("C:\\Program Files\\X\\");
    EXPECT_EQ(path, "C:\\Program Files\\X\\DOC\\tarvo.htm");
    EXPECT_EQ(HelpUrl(path, HelpTopicAnchor(0)),
              "file:///C:/Program%20Files/X/DOC/tarvo.htm#begin");
    // Nothing else is escaped: not "%", "#", "&", nor letters of the code page.
    EXPECT_EQ(HelpUrl("D:\\Мои программы\\a%b&c#d\\DOC\\tarvo.htm", "2.2"),
              "file:///D:/Мои%20программы/a%b&c#d/DOC/tarvo.htm#2.2");
    EXPECT_EQ(HelpUrl("", ""), "file:///#");
}

TEST(HelpUrl, TheBrowserTakesAtMost255Characters) {
    EXPECT_EQ(BrowserUrl(std::string(255, 'a')), std::string(255, 'a'));
    EXPECT_EQ(BrowserUrl(std::string(300, 'a') + "#x"), std::string(255, 'a'));
    EXPECT_EQ(BrowserUrl(""), "");
}

TEST(HelpUrl, TheContentsAreTheDocumentBeforeItsFirstHash) {
    EXPECT_FALSE(ContentsUrl("file:///C:/X/DOC/tarvo.htm").has_value());
    EXPECT_FALSE(ContentsUrl("").has_value());
    EXPECT_EQ(ContentsUrl("file:///C:/X/DOC/tarvo.htm#2.2").value(), "file:///C:/X/DOC/tarvo.htm");
    EXPECT_EQ(ContentsUrl("a#b#c").value(), "a");
    EXPECT_EQ(ContentsUrl("#top").value(), "");
}

TEST(HelpTopics, TheTableBeginsAsGivenAndStaysWithinItsRange) {
    const char* first[] = {"begin",    "new",    "1",   "2",      "2gen",        "2list",
                           "2hung_up", "2panel", "2.2", "2.2gen", "2.2interval", "2.2autosave"};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(HelpTopicAnchor(i), first[i]) << i;
    std::set<std::string_view> seen;
    for (int i = 0; i < HelpTopicCount; ++i) {
        EXPECT_FALSE(HelpTopicAnchor(i).empty()) << i;
        EXPECT_LE(HelpTopicAnchor(i).size(), 30u) << i;
        EXPECT_TRUE(seen.insert(HelpTopicAnchor(i)).second) << "twice: " << HelpTopicAnchor(i);
    }
    EXPECT_EQ(HelpTopicAnchor(-1), "begin");
    EXPECT_EQ(HelpTopicAnchor(HelpTopicCount), "begin");
    for (int page = -1; page <= 8; ++page) {
        EXPECT_GE(HelpTopicOfPage(page), 0);
        EXPECT_LT(HelpTopicOfPage(page), HelpTopicCount);
    }
    EXPECT_EQ(HelpTopicAnchor(HelpTopicOfPage(5)), "2.2"); // "Настройка"
}

// The manual holds a place for every topic.
TEST(HelpTopics, EveryAnchorIsAPlaceInTheManual) {
    std::string source = __FILE__;
    source = source.substr(0, source.rfind("tests")) + "doc/manual/tarvo.htm";
    std::ifstream in(source, std::ios::binary);
    if (!in) in.open("Z:" + source, std::ios::binary); // a Unix path, read under Wine
    if (!in) GTEST_SKIP() << "no manual at " << source;
    const std::string html{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::set<std::string> places;
    const std::regex id(R"re(\b(?:id|name)="([^"]+)")re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), id); it != std::sregex_iterator();
         ++it)
        places.insert((*it)[1].str());
    for (int i = 0; i < HelpTopicCount; ++i)
        EXPECT_TRUE(places.count(std::string(HelpTopicAnchor(i)))) << HelpTopicAnchor(i);
    // Every picture it shows is there too.
    const std::string dir = source.substr(0, source.rfind('/') + 1);
    const std::regex img(R"re(<img[^>]*\bsrc="([^"]+)")re");
    int pictures = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), img);
         it != std::sregex_iterator(); ++it, ++pictures) {
        std::ifstream picture(dir + (*it)[1].str(), std::ios::binary);
        if (!picture) picture.open("Z:" + dir + (*it)[1].str(), std::ios::binary);
        EXPECT_TRUE(picture.good()) << (*it)[1].str();
    }
    EXPECT_GE(pictures, 10);
}

namespace {

// A browser that does what it is told and remembers it.
class TFakeBrowser : public IHelpBrowser {
public:
    std::vector<std::string> Visited;
    bool HasBack = false, HasForward = false;
    int Stops = 0;
    std::string Location;
    bool Navigate(const std::string& url) override {
        if (OnBeforeNavigate) OnBeforeNavigate(url);
        Visited.push_back(url);
        Location = url;
        return true;
    }
    bool GoBack() override { return HasBack; }
    bool GoForward() override { return HasForward; }
    void Stop() override { ++Stops; }
    std::string LocationUrl() override { return Location; }
};

struct NavigatorFixture : ::testing::Test {
    TFakeBrowser browser;
    int beeps = 0;
    std::string address;
    THelpNavigator navigator{browser, [this] { ++beeps; },
                             [this](const std::string& url) { address = url; }};
};

} // namespace

TEST_F(NavigatorFixture, OpensATopicAndShowsTheAddressOfEveryNavigation) {
    EXPECT_TRUE(navigator.OpenTopic("C:\\Tarvo dir\\DOC\\tarvo.htm", "2.2"));
    ASSERT_EQ(browser.Visited.size(), 1u);
    EXPECT_EQ(browser.Visited[0], "file:///C:/Tarvo%20dir/DOC/tarvo.htm#2.2");
    EXPECT_EQ(address, browser.Visited[0]);
    // "Перейти" takes the line as typed, cut to what the browser takes.
    navigator.Go("C:\\a b.htm");
    EXPECT_EQ(browser.Visited.back(), "C:\\a b.htm");
    navigator.Go(std::string(400, 'x'));
    EXPECT_EQ(browser.Visited.back().size(), 255u);
}

TEST_F(NavigatorFixture, BackAndForwardBeepWhenThereIsNowhereToGo) {
    navigator.Back();
    navigator.Forward();
    EXPECT_EQ(beeps, 2);
    browser.HasBack = browser.HasForward = true;
    navigator.Back();
    navigator.Forward();
    EXPECT_EQ(beeps, 2);
    navigator.Stop();
    EXPECT_EQ(browser.Stops, 1);
    EXPECT_TRUE(browser.Visited.empty());
}

TEST_F(NavigatorFixture, TheContentsButtonGoesToTheDocumentsTop) {
    browser.Location = "file:///C:/X/DOC/tarvo.htm";
    navigator.Contents(); // no "#": nothing
    EXPECT_TRUE(browser.Visited.empty());
    browser.Location = "file://C:\\X\\DOC\\tarvo.htm#3list";
    navigator.Contents();
    ASSERT_EQ(browser.Visited.size(), 1u);
    EXPECT_EQ(browser.Visited[0], "file://C:\\X\\DOC\\tarvo.htm");
}
