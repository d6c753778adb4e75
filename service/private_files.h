#pragma once
// What the service keeps belongs to its accounts, not to the other users of the machine:
// every folder and file it creates is open to its own user only, whatever the umask.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace stowbox::service {

inline constexpr mode_t kPrivateFolderMode = 0700;
inline constexpr mode_t kPrivateFileMode = 0600;

// Creates the folder `path` with kPrivateFolderMode. False with errno set when it cannot,
// EEXIST included.
bool make_private_folder(const std::string& path);

// Creates `path` and each missing folder on its way with kPrivateFolderMode; folders that
// exist already are left as they are. Throws std::filesystem::filesystem_error.
void make_private_folders(const std::filesystem::path& path);

// Writes `bytes` to `path`, created or truncated, with kPrivateFileMode. False on failure.
bool write_private_file(const std::filesystem::path& path, std::string_view bytes);

// Writes every byte to `fd`; false on failure.
bool write_all(int fd, const char* bytes, std::size_t size);

}  // namespace stowbox::service
