#pragma once
// The benches' files: written with a pattern that catches shifted, lost or repeated bytes,
// and compared byte for byte with what came across.

#include <cstdint>
#include <filesystem>
#include <string>

namespace bench {

// A file of `size` bytes that depend on their offset and on `seed`.
void WritePatternFile(const std::filesystem::path& path, std::uint64_t size, int seed = 0);

// "" when `received` holds exactly the bytes of `sent`, else what differs.
std::string Difference(const std::filesystem::path& sent, const std::filesystem::path& received);

}  // namespace bench
