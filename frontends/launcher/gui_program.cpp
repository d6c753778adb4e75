#include "launcher/gui_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <system_error>

std::filesystem::path GuiProgramPath() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !executable.is_absolute()) {
        return {};
    }
    // The build passes the GUI program's path relative to the executables' folder.
    return (executable.parent_path() / STOWBOX_GUI_FROM_BIN).lexically_normal();
}

int ExecGuiProgram(LaunchOptions& /*options*/, char** argv) {
    const std::filesystem::path gui = GuiProgramPath();
    if (gui.empty()) {
        std::cerr << "stowbox: cannot start the GUI program: the location of this program "
                     "cannot be told\n";
        return 2;
    }
    ::execv(gui.c_str(), argv);
    const int cause = errno;
    std::cerr << "stowbox: cannot start the GUI program " << gui.string() << ": "
              << std::strerror(cause) << '\n';
    return 2;
}
