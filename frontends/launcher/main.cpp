// The program's executable: reads the launch options and runs the program with a front end.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>

#include "headless/run_script.h"
#include "launcher/device_settings.h"
#include "launcher/launch_options.h"
#include "launcher/unreachable_notice.h"
#include "qt/gui_run.h"
#include "qt/screen_fit.h"
#include "script/run_program.h"
#include "script/script_player.h"

namespace {

// The script's text; FILE "-" reads standard input. Nothing when it cannot be read.
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

int RunHeadless(const LaunchOptions& options) {
    const auto text = ReadScript(*options.script);
    if (!text) {
        return script::kStatusBadStep;
    }
    return Report(headless::RunScriptText(*text, options.device, std::cout));
}

// The scale asked for, or the largest that fits the desktop; nothing (with a message) when
// the one asked for does not fit. Without a desktop the pictures are drawn at 2.
std::optional<qtfront::Scale> ChooseScale(const LaunchOptions& options) {
    const std::optional<int> height = qtfront::AvailableDesktopHeight();
    if (!options.scale) {
        return qtfront::Scale{height ? qtfront::FittingScale(*height) : 2};
    }
    if (height) {
        if (const auto misfit = qtfront::ScaleMisfit(*options.scale, *height)) {
            std::cerr << "stowbox: " << *misfit << '\n';
            return std::nullopt;
        }
    }
    return qtfront::Scale{*options.scale};
}

int RunGui(const LaunchOptions& options, const char* programName) {
    if (!options.script) {
        if (!qtfront::HasDisplay() && std::getenv("QT_QPA_PLATFORM") == nullptr) {
            std::cerr << "stowbox: there is no display to show the program on; play a script "
                         "with --script FILE [--screenshots DIR], or use --headless\n";
            return 2;
        }
        const qtfront::GuiApplication app(programName, false);
        const auto scale = ChooseScale(options);
        if (!scale) {
            return 2;
        }
        qtfront::RunGuiProgram({options.device, *scale, options.screenshots});
        return 0;
    }
    const auto text = ReadScript(*options.script);
    if (!text) {
        return script::kStatusBadStep;
    }
    script::ParseResult parsed = script::ParseScript(*text);
    if (parsed.error) {
        return Report({script::kStatusBadStep, *parsed.error});
    }
    // Without a display the widgets draw offscreen; the pictures show them all the same.
    const qtfront::GuiApplication app(programName, true);
    const auto scale = ChooseScale(options);
    if (!scale) {
        return 2;
    }
    return Report(qtfront::RunScriptInWidgets(
        std::move(parsed.steps), {options.device, *scale, options.screenshots}, std::cout));
}

// Completes the device from the settings file and the defaults; false, with a message, when
// it cannot be used.
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

}  // namespace

int main(int argc, char** argv) {
    ParsedLaunch parsed = ParseLaunchOptions(std::vector<std::string>(argv + 1, argv + argc));
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
    if (!PrepareDevice(options)) {
        return 2;
    }
    if (options.headless) {
        return RunHeadless(options);
    }
    return RunGui(options, argc > 0 ? argv[0] : "stowbox");
}
