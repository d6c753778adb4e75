#include "launcher/device_settings.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Trimmed(const std::string& text) {
    constexpr const char* kBlanks = " \t\r";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::optional<fs::path> HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        return std::nullopt;
    }
    return fs::path(home);
}

bool HoldsPath(const std::string& name) {
    return name == "device-root" || name == "ca-file";
}

// A path written in the file: "~/" at its start is the home folder, and a relative one lies
// beside the file, so the file means the same wherever the program is started from.
std::optional<std::string> PlacedPath(const std::string& value, const fs::path& folder) {
    if (value == "~" || value.starts_with("~/")) {
        const auto home = HomeFolder();
        if (!home) {
            return std::nullopt;
        }
        return (*home / value.substr(value.size() > 1 ? 2 : 1)).string();
    }
    if (fs::path(value).is_relative()) {
        return (folder / value).string();
    }
    return value;
}

class SettingsReader {
  public:
    SettingsReader(const fs::path& file, LaunchOptions& options)
        : m_file(file), m_options(options) {}

    // What is wrong with line `number`, or nothing.
    std::optional<std::string> Read(const std::string& line, int number) {
        const std::string text = Trimmed(line);
        if (text.empty() || text.front() == '#') {
            return std::nullopt;
        }
        const auto equals = text.find('=');
        if (equals == std::string::npos) {
            return "not a 'name = value' line";
        }
        const std::string name = Trimmed(text.substr(0, equals));
        if (!IsDeviceOption(name)) {
            return "unknown setting '" + name + "' (known: " + kDeviceOptionNames + ")";
        }
        if (const auto earlier = m_lines.find(name); earlier != m_lines.end()) {
            return name + " is already set on line " + std::to_string(earlier->second);
        }
        m_lines[name] = number;
        return Apply(name, Trimmed(text.substr(equals + 1)), number);
    }

  private:
    std::optional<std::string> Apply(const std::string& name, std::string value, int number) {
        if (value.empty()) {
            return name + " has no value";
        }
        if (HoldsPath(name)) {
            const auto placed = PlacedPath(value, m_file.parent_path());
            if (!placed) {
                return name + " starts with ~ but HOME is not set";
            }
            value = *placed;
        }
        // A value the command line overrides must still be a good one: it is checked on a copy.
        const bool overridden = m_options.sources.contains(name);
        LaunchOptions unused;
        if (const auto need = ApplyDeviceOption(overridden ? unused : m_options, name, value)) {
            return name + " " + *need;
        }
        if (!overridden) {
            m_options.sources[name] = OptionSource{m_file, number};
        }
        return std::nullopt;
    }

    const fs::path& m_file;
    LaunchOptions& m_options;
    std::map<std::string, int> m_lines;  // the line that set each option
};

std::string CannotRead(const fs::path& file, std::error_code error) {
    return "cannot read the settings file " + file.string() + ": " + error.message();
}

}  // namespace

std::optional<fs::path> DeviceSettingsPath() {
    fs::path config;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG base directory rules say.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME");
        xdg != nullptr && fs::path(xdg).is_absolute()) {
        config = xdg;
    } else if (const auto home = HomeFolder()) {
        config = *home / ".config";
    } else {
        return std::nullopt;
    }
    return config / "stowbox" / "device.conf";
}

std::optional<std::string> ApplyDeviceSettings(const fs::path& file, LaunchOptions& options) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found) {
        return std::nullopt;
    }
    if (error) {
        return CannotRead(file, error);
    }
    if (fs::is_directory(status)) {
        return CannotRead(file, std::make_error_code(std::errc::is_a_directory));
    }
    std::ifstream in(file);
    if (!in) {
        return CannotRead(file, std::error_code(errno, std::generic_category()));
    }
    SettingsReader reader(file, options);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (const auto wrong = reader.Read(line, number)) {
            return file.string() + " line " + std::to_string(number) + ": " + *wrong;
        }
    }
    if (in.bad()) {
        return CannotRead(file, std::make_error_code(std::errc::io_error));
    }
    return std::nullopt;
}
