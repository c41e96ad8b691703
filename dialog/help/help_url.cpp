#include "dialog/help/help_url.h"

std::string HelpDocumentPath(std::string_view programDir) {
    return std::string(programDir) + std::string(HelpDocument);
}

std::string HelpUrl(std::string_view path, std::string_view anchor) {
    const std::string raw = "file:///" + std::string(path) + "#" + std::string(anchor);
    std::string url;
    url.reserve(raw.size() + 8);
    for (char c : raw) {
        if (c == '\\')
            url += '/';
        else if (c == ' ')
            url += "%20";
        else
            url += c;
    }
    return url;
}

std::string BrowserUrl(std::string_view url) {
    return std::string(url.substr(0, BrowserUrlLimit));
}

std::optional<std::string> ContentsUrl(std::string_view current) {
    const std::size_t hash = current.find('#');
    if (hash == std::string_view::npos) return std::nullopt;
    return std::string(current.substr(0, hash));
}
