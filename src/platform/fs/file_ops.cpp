// Moving, deleting and making entries of the device file system.
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fs/file_system.h"
#include "platform/fs/host_path.h"
#include "platform/fs/posix_io.h"

namespace platform::fs {
namespace {

// The host path of an existing or new entry other than the root. A link whose target lies
// outside the root is refused as well, so no operation touches anything through it.
std::optional<std::filesystem::path> ChangeableEntry(const std::filesystem::path& root,
                                                     std::wstring_view devicePath) {
    auto entry = detail::EntryPath(root, devicePath);
    if (!entry || *entry == root || !detail::FollowedPath(root, devicePath)) {
        return std::nullopt;
    }
    return entry;
}

bool Lstat(const std::filesystem::path& path, struct stat& st) {
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

bool FileSystem::MoveFile(std::wstring_view from, std::wstring_view to) const {
    const auto source = ChangeableEntry(m_root, from);
    const auto target = ChangeableEntry(m_root, to);
    struct stat st {};
    if (!source || !target || !Lstat(*source, st)) {
        return false;
    }
    return detail::RenameNoReplace(*source, *target);
}

bool FileSystem::DeleteFile(std::wstring_view devicePath) const {
    const auto entry = ChangeableEntry(m_root, devicePath);
    struct stat st {};
    if (!entry || !Lstat(*entry, st) || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) {
        return false;
    }
    // The device refuses to delete a read-only file.
    if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0) {
        return false;
    }
    return ::unlink(entry->c_str()) == 0;
}

bool FileSystem::CreateDirectory(std::wstring_view devicePath) const {
    const auto entry = ChangeableEntry(m_root, devicePath);
    return entry && ::mkdir(entry->c_str(), 0755) == 0;
}

bool FileSystem::RemoveDirectory(std::wstring_view devicePath) const {
    const auto entry = ChangeableEntry(m_root, devicePath);
    struct stat st {};
    if (!entry || !Lstat(*entry, st) || !S_ISDIR(st.st_mode)) {
        return false;
    }
    return ::rmdir(entry->c_str()) == 0;
}

}  // namespace platform::fs
