#pragma once
// The launch options: they configure the device, never the program.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "script/run_program.h"

// Where a device option got its value: the command line, or a line of the settings file.
struct OptionSource {
    std::filesystem::path file;  // empty: the command line
    int line = 0;
};

struct LaunchOptions {
    bool headless = false;
    std::optional<std::string> script;  // "-" reads standard input
    std::optional<std::filesystem::path> screenshots;
    std::optional<int> scale;  // nothing: the largest that fits the desktop
    script::DeviceOptions device;
    std::map<std::string, OptionSource> sources;  // by device option name, without dashes
    bool showUsage = false;
    bool showVersion = false;
};

struct ParsedLaunch {
    LaunchOptions options;
    std::optional<std::string> error;
};

ParsedLaunch ParseLaunchOptions(const std::vector<std::string>& args);

// Whether `name` (without dashes) is one of the options that configure the device.
bool IsDeviceOption(const std::string& name);
extern const char* const kDeviceOptionNames;  // for messages: "device-root, server, ..."

// Sets device option `name` (without dashes) from its value; when the value does not do,
// what it needs ("needs HOST:PORT, not 'x'"). Records no source.
std::optional<std::string> ApplyDeviceOption(LaunchOptions& options, const std::string& name,
                                             const std::string& value);

// The default device folder: below the user's data folder, created on first run.
std::filesystem::path DefaultDeviceRoot();

extern const char* const kUsage;
