#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace stowbox::service {

// One "key = value" line of a settings file.
struct Setting {
    std::string key;
    std::string value;
    int line = 0;
};

struct SettingsFile {
    std::filesystem::path path;
    std::vector<Setting> settings;  // in the file's order, each key once
};

// Reads the settings file at `path`: "key = value" lines, blanks around key and value not
// counting; blank lines and lines whose first non-blank is "#" are skipped. Which keys and
// values are good is the caller's business. Returns nullopt and sets `error`, naming the
// file and the line, when a line has no "=" or no key or repeats a key, or when the file
// cannot be read.
std::optional<SettingsFile> read_settings_file(const std::filesystem::path& path,
                                               std::string& error);

// "settings file PATH, line N: PROBLEM".
std::string settings_line_error(const std::filesystem::path& path, int line,
                                const std::string& problem);

}  // namespace stowbox::service
