#include <sys/stat.h>

#include "platform/fs/file_system.h"
#include "platform/fs/host_path.h"

namespace platform::fs {
namespace detail {

std::optional<Description> Describe(const std::filesystem::path& root,
                                    const std::filesystem::path& entry, std::wstring_view name) {
    struct stat st {};
    if (::lstat(entry.c_str(), &st) != 0) {
        return std::nullopt;
    }
    std::uint32_t linkBit = 0;
    if (S_ISLNK(st.st_mode)) {
        linkBit = kAttrReparsePoint;
        // Nothing outside the root is looked at, not even its attributes.
        const auto target = Canonicalize(entry);
        if (!target || !IsInside(root, *target) || ::stat(target->c_str(), &st) != 0) {
            return Description{kAttrReparsePoint | kAttrArchive, 0};
        }
    }
    Description description;
    if (S_ISDIR(st.st_mode)) {
        description.attributes = kAttrDirectory;
    } else if (S_ISREG(st.st_mode)) {
        description.attributes = kAttrArchive;
        description.sizeLow = static_cast<std::uint32_t>(static_cast<std::uint64_t>(st.st_size));
    } else {
        // Pipes, sockets and devices, also behind a link: exactly this value makes the
        // listings skip them, so nothing ever waits on one.
        return Description{kAttrSystem, 0};
    }
    if ((st.st_mode & S_IWUSR) == 0) {
        description.attributes |= kAttrReadOnly;
    }
    if (!name.empty() && name.front() == L'.') {
        description.attributes |= kAttrHidden;
    }
    description.attributes |= linkBit;
    return description;
}

}  // namespace detail

std::optional<std::uint32_t> FileSystem::GetAttributes(std::wstring_view devicePath) const {
    const auto elements = detail::SplitDevicePath(devicePath);
    const auto entry = detail::EntryPath(m_root, devicePath);
    if (!elements || !entry) {
        return std::nullopt;
    }
    const std::wstring_view name = elements->empty() ? std::wstring_view() : elements->back();
    const auto description = detail::Describe(m_root, *entry, name);
    if (!description) {
        return std::nullopt;
    }
    return description->attributes;
}

}  // namespace platform::fs
