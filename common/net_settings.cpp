#include "common/net_settings.h"

#include <algorithm>

#include "common/numbers.h"

namespace {

bool IsCredentialChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > ' ' && u < 0x7F && c != '"' && c != '\\' && c != ';' && c != '=';
}

bool AllCredentialChars(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsCredentialChar);
}

} // namespace

TNetServerSettings
NetServerSettingsFrom(const std::function<std::string(std::string_view key)>& value) {
    TNetServerSettings s;
    s.Enabled = ParseIntegerOr(value(NutServerKey), 0) != 0;
    const std::string listen = value(NutListenKey);
    if (!TrimBlanks(listen).empty()) s.Listen = listen;
    const std::int32_t port = ParseIntegerOr(value(NutTcpPortKey), DefaultNutTcpPort);
    s.Port = port >= 1 && port <= 65535 ? static_cast<std::uint16_t>(port) : DefaultNutTcpPort;
    // Replies echo the name: one that could break a reply line is not taken.
    const std::string name = value(NutUpsNameKey);
    if (IsValidUpsName(name)) s.UpsName = name;
    const std::string user = value(NutUserKey);
    if (!user.empty()) s.User = user;
    s.Password = value(NutPasswordKey);
    return s;
}

std::optional<std::uint32_t> ParseIpv4(std::string_view text) {
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.') return std::nullopt;
            text.remove_prefix(1);
        }
        std::size_t digits = 0;
        std::uint32_t number = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && digits < 4) {
            number = number * 10 + static_cast<std::uint32_t>(text[digits] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || number > 255) return std::nullopt;
        text.remove_prefix(digits);
        address = address << 8 | number;
    }
    if (!text.empty()) return std::nullopt;
    return address;
}

std::string FormatIpv4(std::uint32_t address) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24) out += '.';
        out += std::to_string(address >> shift & 0xFF);
    }
    return out;
}

TListenList ParseListenList(std::string_view text) {
    TListenList list;
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view entry = TrimBlanks(text.substr(0, comma));
        if (!entry.empty()) {
            const std::optional<std::uint32_t> address = ParseIpv4(entry);
            const bool seen = address && std::find(list.Addresses.begin(), list.Addresses.end(),
                                                   *address) != list.Addresses.end();
            if (!address || (!seen && list.Addresses.size() >= MaxListenAddresses))
                list.Bad.emplace_back(entry);
            else if (!seen)
                list.Addresses.push_back(*address);
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (std::find(list.Addresses.begin(), list.Addresses.end(), 0u) != list.Addresses.end())
        list.Addresses.assign(1, 0u);
    return list;
}

bool IsValidUpsName(std::string_view name) {
    if (name.empty() || name.size() > MaxNutNameLength) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_' || c == '.';
    });
}

bool IsValidUserName(std::string_view name) {
    return !name.empty() && name.size() <= MaxNutNameLength && AllCredentialChars(name);
}

bool IsValidPassword(std::string_view password) {
    return password.size() <= MaxNutNameLength && AllCredentialChars(password);
}
