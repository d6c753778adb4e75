#include "small_file.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "unique_fd.h"

namespace stowbox::service {

namespace {

const char* const kTooBig = "not a regular file of at most 16 MiB";

}  // namespace

std::optional<SmallFile> read_small_file(const std::filesystem::path& path, std::string& error) {
    // Checked on the open file, so that the file read is the file checked.
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    SmallFile result;
    if (!file || ::fstat(file.get(), &result.info) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(result.info.st_mode) || result.info.st_size > kMaxSmallFileSize) {
        error = kTooBig;
        return std::nullopt;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = std::strerror(errno);
            return std::nullopt;
        }
        if (got == 0) {
            return result;
        }
        result.text.append(buffer, std::size_t(got));
        if (result.text.size() > std::size_t(kMaxSmallFileSize)) {
            error = kTooBig;
            return std::nullopt;
        }
    }
}

}  // namespace stowbox::service
