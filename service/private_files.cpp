#include "private_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "unique_fd.h"

namespace stowbox::service {

bool make_private_folder(const std::string& path) {
    if (::mkdir(path.c_str(), kPrivateFolderMode) != 0) {
        return false;
    }
    // The umask may have taken bits away from the owner too; set the mode exactly, on the
    // folder just made rather than on whatever the name may lead to by now.
    const UniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder || ::fchmod(folder.get(), kPrivateFolderMode) != 0) {
        const int error = errno;
        ::rmdir(path.c_str());
        errno = error;
        return false;
    }
    return true;
}

void make_private_folders(const std::filesystem::path& path) {
    std::filesystem::path built;
    for (const auto& part : path) {
        built /= part;
        struct stat info {};
        if (::stat(built.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            continue;
        }
        if (!make_private_folder(built.string()) && errno != EEXIST) {
            throw std::filesystem::filesystem_error(
                "cannot create the folder", built, std::error_code(errno, std::generic_category()));
        }
    }
    if (!std::filesystem::is_directory(path)) {
        throw std::filesystem::filesystem_error("not a folder", path,
                                                std::make_error_code(std::errc::not_a_directory));
    }
}

bool write_private_file(const std::filesystem::path& path, std::string_view bytes) {
    const UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                               kPrivateFileMode));
    // A file left by an earlier run keeps its old mode through O_TRUNC.
    return file && ::fchmod(file.get(), kPrivateFileMode) == 0 &&
           write_all(file.get(), bytes.data(), bytes.size());
}

bool write_all(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= std::size_t(written);
    }
    return true;
}

}  // namespace stowbox::service
