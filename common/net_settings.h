#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The network UPS server's settings in "Kovrin.ini", section "Main": read by the monitor,
// written by the settings window. The monitor's reader takes any line that begins with a
// key's name, so no key here begins with another key's name (nor with an older key's).
inline constexpr std::string_view NutServerKey = "NutServer";
inline constexpr std::string_view NutListenKey = "NutListen";
inline constexpr std::string_view NutTcpPortKey = "NutTcpPort";
inline constexpr std::string_view NutUpsNameKey = "NutUpsName";
inline constexpr std::string_view NutUserKey = "NutUser";
inline constexpr std::string_view NutPasswordKey = "NutPassword";

inline constexpr std::string_view DefaultNutListen = "127.0.0.1";
inline constexpr std::uint16_t DefaultNutTcpPort = 3493;
inline constexpr std::string_view DefaultNutUpsName = "ups";
inline constexpr std::string_view DefaultNutUser = "monuser";

// Most addresses one server listens on, and the longest names and password.
inline constexpr std::size_t MaxListenAddresses = 8;
inline constexpr std::size_t MaxNutNameLength = 32;

struct TNetServerSettings {
    bool Enabled = false;
    std::string Listen{DefaultNutListen};
    std::uint16_t Port = DefaultNutTcpPort;
    std::string UpsName{DefaultNutUpsName};
    std::string User{DefaultNutUser};
    std::string Password; // empty: nobody can log in; reading still works

    bool operator==(const TNetServerSettings&) const = default;
};

// The settings from the values the file holds (an empty text for a key that is absent).
// "NutServer" is on for any integer but 0; a port outside 1-65535 or no number, an empty
// listen list or user, and a UPS name that is no valid name, take their defaults.
TNetServerSettings
NetServerSettingsFrom(const std::function<std::string(std::string_view key)>& value);

// An IPv4 address in dotted decimal form ("192.168.1.10"), in host order; exactly four
// numbers 0-255 of at most three digits each.
std::optional<std::uint32_t> ParseIpv4(std::string_view text);
std::string FormatIpv4(std::uint32_t address);

// The listen list: addresses separated by commas, blanks around each ignored, empty
// entries skipped, repeats dropped. Entries that are no address land in Bad. 0.0.0.0
// (every address) makes the others needless: the list is then that one address. At most
// MaxListenAddresses are kept; the rest count as bad.
struct TListenList {
    std::vector<std::uint32_t> Addresses;
    std::vector<std::string> Bad;
};
TListenList ParseListenList(std::string_view text);

// What the settings window accepts. A UPS name: 1-32 letters, digits, "-", "_" or ".".
// A user name (1-32) or password (0-32): printable ASCII without blanks, double quotes,
// backslashes, ";" or "=": clients send them as one word, and the monitor's settings
// reader would cut a value at ";" and drop a leading "=".
bool IsValidUpsName(std::string_view name);
bool IsValidUserName(std::string_view name);
bool IsValidPassword(std::string_view password);
