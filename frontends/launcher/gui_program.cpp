#include "launcher/gui_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "platform/shell/executable_folder.h"

std::filesystem::path GuiProgramPath() {
    // The build passes the GUI program's path relative to the executables' folder.
    return platform::shell::BesideExecutable(STOWBOX_GUI_FROM_BIN);
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
