#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class IFileSystem;

// The settings file in the standard sectioned form ("[Section]", then "Key=Value" lines),
// as the library's windows keep their settings in it. Keys and sections match without
// regard to case. Writing touches only the keys written: every other line (other keys,
// other sections, comments, blank lines, the users' own spelling) stays as it was, and
// each save re-reads the file first, so that what another writer put there meanwhile is
// kept too. A save goes through a temporary file that replaces the old one at once: a
// file that cannot be written is left as it was.
class TIniFile {
public:
    TIniFile(IFileSystem& files, std::string path);

    // Reads the file anew; a missing file reads as empty. False when it exists but
    // cannot be read.
    bool Load();

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // A decimal integer; the default when absent or no integer.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    // An integer other than 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    // In memory until Save.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int64_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes what was written since the last save into the file as it is on disk now.
    // False (and the file unchanged) when it cannot be written.
    bool Save();
    bool HasPendingWrites() const { return !pending_.empty(); }
    const std::string& Path() const { return path_; }

    // The file's text after applying writes to a text, for the rules to be checked alone.
    static std::string Apply(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);
    static std::string Lookup(std::string_view text, std::string_view section, std::string_view key,
                              std::string_view fallback);

private:
    struct Write {
        std::string Section, Key, Value;
    };
    IFileSystem& files_;
    std::string path_;
    std::string text_;
    std::vector<Write> pending_;
};
