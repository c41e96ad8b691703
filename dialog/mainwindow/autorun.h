#pragma once
#include <string>
#include <string_view>

// The user's list of programs started at logon (on Windows the current user's Run key).
// The monitor keeps one entry there, named "Kovrin", holding its full path.
inline constexpr std::string_view AutorunName = "Kovrin";
inline constexpr std::string_view AutorunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class IAutorunList {
public:
    virtual ~IAutorunList() = default;
    virtual bool Has(std::string_view name) = 0;
    // Both report whether the list now is as asked.
    virtual bool Put(std::string_view name, std::string_view command) = 0;
    virtual bool Remove(std::string_view name) = 0;
};

// The system's list.
IAutorunList& SystemAutorun();

// The autorun box was set to `on`: the entry written with the program's path, or removed.
// True when the list now agrees with the box.
inline bool ApplyAutorun(IAutorunList& list, bool on, std::string_view programPath) {
    return on ? list.Put(AutorunName, programPath) : list.Remove(AutorunName);
}
