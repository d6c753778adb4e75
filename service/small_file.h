#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

namespace stowbox::service {

// A settings or accounts file is small: a wrong path (a device, a huge log) is refused
// rather than read whole.
inline constexpr off_t kMaxSmallFileSize = 16 * 1024 * 1024;

struct SmallFile {
    std::string text;
    struct stat info {};  // of the file read, not of whatever the name leads to by now
};

// Reads the regular file at `path` whole. Returns nullopt and sets `error` (the reason,
// without the path) when it cannot.
std::optional<SmallFile> read_small_file(const std::filesystem::path& path, std::string& error);

}  // namespace stowbox::service
