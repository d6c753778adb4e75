#pragma once
// Small POSIX helpers shared by the file system's sources; not part of the platform's interface.

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <utility>

namespace platform::fs::detail {

// Owns one file descriptor.
class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_fd, -1));
        }
        return *this;
    }

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release() { return std::exchange(m_fd, -1); }
    void Reset(int fd = -1);

  private:
    int m_fd;
};

enum class OpenIntent {
    Read,    // an existing file
    Create,  // created (mode 0644) or emptied
};

// Opens a regular file; folders, pipes, sockets and devices are refused without blocking
// on them. `noFollow` refuses a symbolic link as the last element.
UniqueFd OpenRegular(const std::filesystem::path& path, OpenIntent intent, bool noFollow);

// read() that retries interrupted calls: bytes read, 0 at the end, -1 on error.
ssize_t ReadSome(int fd, void* buffer, std::size_t count);

// Writes every byte, retrying short and interrupted writes.
bool WriteAll(int fd, const void* data, std::size_t count);

// Renames `from` to `to` unless something (a dangling link too) already exists at `to`.
bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace platform::fs::detail
