#pragma once
// Where the program's installed data files are (its help page): a fixed place relative to
// the executable, so an installed program, an unpacked package and the build folder each
// find their own copy and none reads the source tree.

#include <filesystem>

namespace qtfront {

// The data folder of the running executable (…/libexec/stowbox-gui -> …/share/stowbox);
// empty when the executable's own location cannot be told.
std::filesystem::path ProgramDataFolder();

}  // namespace qtfront
