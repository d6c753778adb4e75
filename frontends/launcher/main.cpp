// The program's executable: reads the launch options and runs the program with a front end.

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "headless/run_program.h"
#include "headless/script_player.h"
#include "launcher/launch_options.h"

namespace {

int RunHeadless(const LaunchOptions& options) {
    std::string text;
    if (*options.script == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream file(*options.script, std::ios::binary);
        if (!file) {
            std::cerr << "stowbox: cannot read the script " << *options.script << '\n';
            return headless::kStatusBadStep;
        }
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    const headless::ScriptResult result = headless::RunScriptText(text, options.device, std::cout);
    if (result.status != headless::kStatusOk) {
        std::cerr << "stowbox: " << result.message << '\n';
    }
    return result.status;
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
    if (options.device.root.empty()) {
        options.device.root = DefaultDeviceRoot();
    }
    std::error_code error;
    std::filesystem::create_directories(options.device.root, error);
    if (!std::filesystem::is_directory(options.device.root)) {
        std::cerr << "stowbox: cannot use the device folder " << options.device.root << '\n';
        return 2;
    }
    if (options.headless) {
        return RunHeadless(options);
    }
    std::cerr << "stowbox: this build has no graphical front end; use --headless --script FILE\n";
    return 2;
}
