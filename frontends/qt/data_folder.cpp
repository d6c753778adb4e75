#include "data_folder.h"

#include "platform/shell/executable_folder.h"

namespace qtfront {

std::filesystem::path ProgramDataFolder() {
    // The build passes the data folder relative to the executables' folder.
    return platform::shell::BesideExecutable(STOWBOX_DATA_FROM_BIN);
}

}  // namespace qtfront
