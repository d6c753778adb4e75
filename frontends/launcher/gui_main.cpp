// The GUI program, stowbox-gui: what `stowbox` starts in its place when the program needs the
// display (the window, or a script played in the real widgets), with the same command line.

#include <cstdlib>
#include <iostream>
#include <optional>

#include "launcher/launch.h"
#include "qt/gui_run.h"
#include "qt/screen_fit.h"
#include "script/script.h"

namespace {

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

int RunWindow(const LaunchOptions& options, const char* programName) {
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

int RunScriptInWidgets(const LaunchOptions& options, const char* programName) {
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

int StartGui(LaunchOptions& options, char** argv) {
    if (!PrepareDevice(options)) {
        return 2;
    }
    const char* programName = argv[0] != nullptr ? argv[0] : "stowbox";
    return options.script ? RunScriptInWidgets(options, programName)
                          : RunWindow(options, programName);
}

}  // namespace

int main(int argc, char** argv) {
    return Launch(argc, argv, StartGui);
}
