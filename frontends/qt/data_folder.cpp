#include "data_folder.h"

#include <system_error>

namespace qtfront {

std::filesystem::path ProgramDataFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !executable.is_absolute()) {
        return {};
    }
    // The build passes the data folder relative to the executables' folder.
    return (executable.parent_path() / STOWBOX_DATA_FROM_BIN).lexically_normal();
}

}  // namespace qtfront
