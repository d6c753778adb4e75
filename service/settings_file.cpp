#include "settings_file.h"

#include <algorithm>
#include <string_view>

#include "small_file.h"

namespace stowbox::service {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The setting on `line`, or nullopt with `problem` set.
std::optional<Setting> parse_setting(std::string_view line, std::string& problem) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
        problem = "not \"key = value\"";
        return std::nullopt;
    }
    Setting setting;
    setting.key = std::string(trimmed(line.substr(0, equals)));
    setting.value = std::string(trimmed(line.substr(equals + 1)));
    if (setting.key.empty()) {
        problem = "no key before \"=\"";
        return std::nullopt;
    }
    return setting;
}

}  // namespace

std::string settings_line_error(const std::filesystem::path& path, int line,
                                const std::string& problem) {
    return "settings file " + path.string() + ", line " + std::to_string(line) + ": " + problem;
}

std::optional<SettingsFile> read_settings_file(const std::filesystem::path& path,
                                               std::string& error) {
    std::string problem;
    const auto file = read_small_file(path, problem);
    if (!file) {
        error = "settings file " + path.string() + ": " + problem;
        return std::nullopt;
    }
    SettingsFile result{path, {}};
    std::string_view text = file->text;
    for (int number = 1; !text.empty(); ++number) {
        const auto end = std::min(text.find('\n'), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == '#') {
            continue;
        }
        auto setting = parse_setting(line, problem);
        if (setting) {
            const auto& settings = result.settings;
            const auto earlier =
                std::find_if(settings.begin(), settings.end(),
                             [&](const Setting& s) { return s.key == setting->key; });
            if (earlier != settings.end()) {
                problem = "\"" + setting->key + "\" is given already on line " +
                          std::to_string(earlier->line);
                setting.reset();
            }
        }
        if (!setting) {
            error = settings_line_error(path, number, problem);
            return std::nullopt;
        }
        setting->line = number;
        result.settings.push_back(std::move(*setting));
    }
    return result;
}

}  // namespace stowbox::service
