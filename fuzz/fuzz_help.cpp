// The help viewer's rules on any topic number, page number and program directory, and its
// buttons and address line over a browser that reports any location.
//
// Input: bytes 0-3 = the topic (little-endian, any 32-bit value), byte 4 = the page (a
// signed byte), byte 5 = the length of the program directory, then the directory, then
// the buttons pressed, one byte each: 0 the topic again, 1 "Перейти" with the typed text
// (a length byte and the text), 2 the contents button with the browser's location (a
// length byte and the text), 3 back and 4 forward (bit 3: the browser has somewhere to
// go), 5 stop; the first 16 buttons count.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/help/help_browser.h"
#include "dialog/help/help_navigator.h"
#include "dialog/help/help_topics.h"
#include "dialog/help/help_url.h"
#include "fuzz_support.h"

namespace {

class TRecordingBrowser final : public IHelpBrowser {
public:
    std::vector<std::string> Visited;
    bool CanMove = false;
    int Stops = 0;
    std::string Location;
    bool Navigate(const std::string& url) override {
        if (OnBeforeNavigate) OnBeforeNavigate(url);
        Visited.push_back(url);
        return true;
    }
    bool GoBack() override { return CanMove; }
    bool GoForward() override { return CanMove; }
    void Stop() override { ++Stops; }
    std::string LocationUrl() override { return Location; }
};

// Enough for every sequence of the buttons that matters.
constexpr int MaxButtons = 16;

bool AnchorChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
           c == '_';
}

// The file a browser opens for a file address: the part before the first "#", "%20" a
// space, "/" the system's separator.
std::string FileOf(std::string_view url) {
    url.remove_prefix(std::string_view("file:///").size());
    url = url.substr(0, url.find('#'));
    std::string path;
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url.substr(i, 3) == "%20") {
            path += ' ';
            i += 2;
        } else {
            path += url[i] == '/' ? '\\' : url[i];
        }
    }
    return path;
}

// The address of a topic: the whole document path, the anchor after the only "#", no
// backslash or space left; within the manual's folder whenever the browser takes it
// whole and the directory holds none of the characters an address reads otherwise.
void CheckTopicUrl(const std::string& dir, const std::string& path, std::string_view anchor) {
    FUZZ_CHECK(path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0);
    FUZZ_CHECK(path.compare(dir.size(), std::string::npos, HelpDocument) == 0);
    const std::string url = HelpUrl(path, anchor);
    FUZZ_CHECK(url.compare(0, 8, "file:///") == 0);
    FUZZ_CHECK(url.find('\\') == std::string::npos && url.find(' ') == std::string::npos);
    FUZZ_CHECK(url.size() > anchor.size() &&
               url.compare(url.size() - anchor.size() - 1, std::string::npos,
                           "#" + std::string(anchor)) == 0);
    if (dir.find_first_of("#%") != std::string::npos || url.size() > BrowserUrlLimit) return;
    FUZZ_CHECK(BrowserUrl(url) == url);
    std::string expected = path;
    for (char& c : expected)
        if (c == '/') c = '\\';
    FUZZ_CHECK(FileOf(url) == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Reader in(data, size);
    std::uint32_t raw = in.Word();
    raw |= static_cast<std::uint32_t>(in.Word()) << 16;
    const int topic = static_cast<std::int32_t>(raw);
    const int page = static_cast<std::int8_t>(in.Byte());
    std::string dir = in.Bytes(in.Byte());

    // Topics stay within the table; an anchor is a short word of its own.
    const std::string_view anchor = HelpTopicAnchor(topic);
    FUZZ_CHECK(!anchor.empty() && anchor.size() <= 30);
    for (const char c : anchor)
        FUZZ_CHECK(AnchorChar(c));
    const bool inRange = topic >= 0 && topic < HelpTopicCount;
    FUZZ_CHECK((anchor == HelpTopicAnchor(TOPIC_CONTENTS)) == (!inRange || topic == 0));
    const int pageTopic = HelpTopicOfPage(page);
    FUZZ_CHECK(pageTopic >= 0 && pageTopic < HelpTopicCount);

    const std::string path = HelpDocumentPath(dir);
    CheckTopicUrl(dir, path, anchor);

    // The buttons: every address the browser is asked for is one it takes whole, and the
    // address line shows it.
    TRecordingBrowser browser;
    int beeps = 0;
    std::string shown;
    THelpNavigator navigator(
        browser, [&] { ++beeps; }, [&](const std::string& url) { shown = url; });
    for (int pressed = 0; pressed < MaxButtons && in.Left() > 0; ++pressed) {
        const std::uint8_t button = in.Byte();
        const std::size_t visited = browser.Visited.size();
        const int beeped = beeps;
        std::string expected;
        bool navigates = true;
        switch (button % 6) {
        case 0:
            FUZZ_CHECK(navigator.OpenTopic(path, anchor));
            expected = BrowserUrl(HelpUrl(path, anchor));
            break;
        case 1: {
            const std::string typed = in.Bytes(in.Byte());
            navigator.Go(typed);
            expected = typed.substr(0, BrowserUrlLimit);
            break;
        }
        case 2: {
            browser.Location = in.Bytes(in.Byte());
            navigator.Contents();
            const std::size_t hash = browser.Location.find('#');
            navigates = hash != std::string::npos;
            expected = browser.Location.substr(0, std::min(hash, BrowserUrlLimit));
            break;
        }
        case 3:
        case 4:
            browser.CanMove = (button & 8) != 0;
            if (button % 6 == 3)
                navigator.Back();
            else
                navigator.Forward();
            FUZZ_CHECK(beeps == beeped + (browser.CanMove ? 0 : 1));
            navigates = false;
            break;
        default:
            navigator.Stop();
            navigates = false;
            break;
        }
        FUZZ_CHECK(browser.Visited.size() == visited + (navigates ? 1 : 0));
        if (navigates) {
            FUZZ_CHECK(browser.Visited.back() == expected);
            FUZZ_CHECK(browser.Visited.back().size() <= BrowserUrlLimit);
            FUZZ_CHECK(shown == expected);
        }
    }
    return 0;
}
