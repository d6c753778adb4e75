#include "launcher/launch.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>
#include <vector>

#include "headless/run_script.h"
#include "launcher/device_settings.h"
#include "launcher/unreachable_notice.h"

namespace {

int RunHeadless(const LaunchOptions& options) {
    const auto text = ReadScript(*options.script);
    if (!text) {
        return script::kStatusBadStep;
    }
    return Report(headless::RunScriptText(*text, options.device, std::cout));
}

}  // namespace

std::optional<std::string> ReadScript(const std::string& path) {
    std::string text;
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return text;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "stowbox: cannot read the script " << path << '\n';
        return std::nullopt;
    }
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return text;
}

int Report(const script::ScriptResult& result) {
    if (result.status != script::kStatusOk) {
        std::cerr << "stowbox: " << result.message << '\n';
    }
    return result.status;
}

bool PrepareDevice(LaunchOptions& options) {
    const auto settingsFile = DeviceSettingsPath();
    if (settingsFile) {
        if (const auto error = ApplyDeviceSettings(*settingsFile, options)) {
            std::cerr << "stowbox: " << *error << '\n';
            return false;
        }
    }
    options.device.onConnectFailure = UnreachableServerNotice(options, settingsFile);
    if (options.device.root.empty()) {
        options.device.root = DefaultDeviceRoot();
    }
    std::error_code error;
    std::filesystem::create_directories(options.device.root, error);
    if (!std::filesystem::is_directory(options.device.root)) {
        std::cerr << "stowbox: cannot use the device folder " << options.device.root << '\n';
        return false;
    }
    return true;
}

int Launch(int argc, char** argv, GuiStart startGui) {
    // A program may be started with no arguments at all, not even its name.
    char** const first = argc > 0 ? argv + 1 : argv + argc;
    ParsedLaunch parsed = ParseLaunchOptions(std::vector<std::string>(first, argv + argc));
    if (parsed.error) {
        std::cerr << "stowbox: " << *parsed.error << '\n' << kUsage;
        return 2;
    }
    LaunchOptions& options = parsed.options;
    if (options.showUsage) {
        std::cout << kUsage;
        return 0;
    }
    if (options.showVersion) {
        std::cout << "stowbox " << STOWBOX_VERSION << '\n';
        return 0;
    }
    if (!options.headless) {
        return startGui(options, argv);
    }
    if (!PrepareDevice(options)) {
        return 2;
    }
    return RunHeadless(options);
}
