#pragma once
// Files the build lays out relative to the running executable: an installed program, an
// unpacked package and the build folder each find their own, and none reads the source tree.

#include <filesystem>

namespace platform::shell {

// `relative` taken from the running executable's folder; empty when the executable's own
// location cannot be told.
std::filesystem::path BesideExecutable(const std::filesystem::path& relative);

}  // namespace platform::shell
