#pragma once
// The GUI program: `stowbox` loads no toolkit, and starts stowbox-gui in its own place when
// the program needs the display.

#include <filesystem>

#include "launcher/launch_options.h"

// Where the GUI program lies beside the running executable (…/bin/stowbox ->
// …/libexec/stowbox-gui); empty when the executable's own location cannot be told.
std::filesystem::path GuiProgramPath();

// Replaces this process with the GUI program, given the same command line, so its options,
// messages and exit status are the program's own. Returns only when it cannot be started,
// with a message naming the path it tried: the exit status then.
int ExecGuiProgram(LaunchOptions& options, char** argv);
