#pragma once
// The launch options: they configure the device, never the program.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "script/run_program.h"

struct LaunchOptions {
    bool headless = false;
    std::optional<std::string> script;  // "-" reads standard input
    std::optional<std::filesystem::path> screenshots;
    std::optional<int> scale;  // nothing: the largest that fits the desktop
    script::DeviceOptions device;
    bool showUsage = false;
    bool showVersion = false;
};

struct ParsedLaunch {
    LaunchOptions options;
    std::optional<std::string> error;
};

ParsedLaunch ParseLaunchOptions(const std::vector<std::string>& args);

// The default device folder: below the user's data folder, created on first run.
std::filesystem::path DefaultDeviceRoot();

extern const char* const kUsage;
