#pragma once
// The steps both executables share: the launch options read, --help and --version answered,
// the device prepared and a headless script played; whatever needs the display is left to
// the caller's `GuiStart`.

#include <optional>
#include <string>

#include "launcher/launch_options.h"
#include "script/script_player.h"

// Runs the program with a display; what it returns is the exit status.
using GuiStart = int (*)(LaunchOptions& options, char** argv);

int Launch(int argc, char** argv, GuiStart startGui);

// Completes the device from the settings file and the defaults; false, with a message, when
// it cannot be used.
bool PrepareDevice(LaunchOptions& options);

// The script's text; FILE "-" reads standard input. Nothing, with a message, when it cannot
// be read.
std::optional<std::string> ReadScript(const std::string& path);

// The exit status of a script run, with its message on standard error when it failed.
int Report(const script::ScriptResult& result);
