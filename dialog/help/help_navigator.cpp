#include "dialog/help/help_navigator.h"

#include "dialog/help/help_browser.h"
#include "dialog/help/help_url.h"

THelpNavigator::THelpNavigator(IHelpBrowser& browser, std::function<void()> beep,
                               std::function<void(const std::string&)> showAddress)
    : browser_(browser), beep_(std::move(beep)), showAddress_(std::move(showAddress)) {
    browser_.OnBeforeNavigate = [this](const std::string& url) {
        if (showAddress_) showAddress_(url);
    };
}

THelpNavigator::~THelpNavigator() {
    browser_.OnBeforeNavigate = nullptr;
}

bool THelpNavigator::OpenTopic(std::string_view documentPath, std::string_view anchor) {
    return NavigateTo(HelpUrl(documentPath, anchor));
}

bool THelpNavigator::NavigateTo(std::string_view url) {
    return browser_.Navigate(BrowserUrl(url));
}

void THelpNavigator::Back() {
    if (!browser_.GoBack() && beep_) beep_();
}

void THelpNavigator::Forward() {
    if (!browser_.GoForward() && beep_) beep_();
}

void THelpNavigator::Contents() {
    if (const auto top = ContentsUrl(browser_.LocationUrl())) NavigateTo(*top);
}

void THelpNavigator::Stop() {
    browser_.Stop();
}

void THelpNavigator::Go(std::string_view addressText) {
    NavigateTo(addressText);
}
