#include "platform/fs/posix_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

namespace platform::fs::detail {

void UniqueFd::Reset(int fd) {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = fd;
}

UniqueFd OpenRegular(const std::filesystem::path& path, OpenIntent intent, bool noFollow) {
    // O_NONBLOCK keeps a pipe without a writer from stalling the open; it is cleared once
    // the descriptor is known to be a regular file. Truncation waits for the same check.
    int flags = O_CLOEXEC | O_NONBLOCK | (noFollow ? O_NOFOLLOW : 0);
    flags |= intent == OpenIntent::Read ? O_RDONLY : (O_WRONLY | O_CREAT);
    UniqueFd fd(::open(path.c_str(), flags, 0644));
    if (!fd.Valid()) {
        return fd;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return UniqueFd();
    }
    const int status = ::fcntl(fd.Get(), F_GETFL);
    if (status < 0 || ::fcntl(fd.Get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
        return UniqueFd();
    }
    if (intent == OpenIntent::Create && ::ftruncate(fd.Get(), 0) != 0) {
        return UniqueFd();
    }
    return fd;
}

ssize_t ReadSome(int fd, void* buffer, std::size_t count) {
    if (count > SSIZE_MAX) {
        count = SSIZE_MAX;
    }
    for (;;) {
        const ssize_t n = ::read(fd, buffer, count);
        if (n >= 0 || errno != EINTR) {
            return n < 0 ? -1 : n;
        }
    }
}

bool WriteAll(int fd, const void* data, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (count > 0) {
        const ssize_t n = ::write(fd, bytes, count);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without the atomic form: check, then rename.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0 || errno != ENOENT) {
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace platform::fs::detail
