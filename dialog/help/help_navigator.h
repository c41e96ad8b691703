#pragma once
#include <functional>
#include <string>
#include <string_view>

class IHelpBrowser;

// The help viewer's buttons and address line over a browser component: back and forward
// (a beep when there is nowhere to go), the contents (the document's top), stop, go to
// the typed address; every navigation announced puts its address into the line.
class THelpNavigator {
public:
    THelpNavigator(IHelpBrowser& browser, std::function<void()> beep,
                   std::function<void(const std::string&)> showAddress);
    ~THelpNavigator();
    THelpNavigator(const THelpNavigator&) = delete;
    THelpNavigator& operator=(const THelpNavigator&) = delete;

    // The manual at a topic: the document's path and the topic's anchor.
    bool OpenTopic(std::string_view documentPath, std::string_view anchor);
    bool NavigateTo(std::string_view url); // cut to what the browser takes
    void Back();
    void Forward();
    void Contents();
    void Stop();
    void Go(std::string_view addressText);

private:
    IHelpBrowser& browser_;
    std::function<void()> beep_;
    std::function<void(const std::string&)> showAddress_;
};
