#pragma once
#include <functional>
#include <string>

// What the help viewer needs of a web browser component. On Windows the system's
// WebBrowser control; in tests a fake that records what it was asked.
class IHelpBrowser {
public:
    virtual ~IHelpBrowser() = default;
    // False when the component refused (or failed).
    virtual bool Navigate(const std::string& url) = 0;
    virtual bool GoBack() = 0;    // false: no earlier page
    virtual bool GoForward() = 0; // false: no later page
    virtual void Stop() = 0;
    virtual std::string LocationUrl() = 0;
    // Raised with the target of every navigation about to start.
    std::function<void(const std::string& url)> OnBeforeNavigate;
};
