#include <algorithm>
#include <system_error>

#include "platform/fs/file_system.h"
#include "platform/fs/host_path.h"
#include "platform/text/codepage.h"

namespace platform::fs {
namespace detail {
namespace {

namespace stdfs = std::filesystem;

constexpr int kMaxLinkHops = 40;

bool IsSeparator(wchar_t ch) {
    return ch == L'\\' || ch == L'/';
}

stdfs::path JoinElements(const stdfs::path& root, const std::vector<std::wstring>& elements,
                         std::size_t count) {
    stdfs::path host = root;
    for (std::size_t i = 0; i < count; ++i) {
        host /= text::ToUtf8(elements[i]);
    }
    return host;
}

// If a component of `path` is a symbolic link that status() could not follow (a dangling
// one), the path through its target; nothing when every component is followed already.
// `path` must be weakly canonical, so the existing components before it hold no links.
std::optional<stdfs::path> ThroughDanglingLink(const stdfs::path& path, bool& failed) {
    stdfs::path prefix = path.root_path();
    const stdfs::path relative = path.relative_path();
    for (auto it = relative.begin(); it != relative.end(); ++it) {
        prefix /= *it;
        std::error_code ec;
        const auto status = stdfs::symlink_status(prefix, ec);
        if (status.type() == stdfs::file_type::not_found) {
            return std::nullopt;
        }
        if (ec) {
            failed = true;
            return std::nullopt;
        }
        if (stdfs::is_symlink(status)) {
            stdfs::path target = stdfs::read_symlink(prefix, ec);
            if (ec) {
                failed = true;
                return std::nullopt;
            }
            stdfs::path next = target.is_absolute() ? target : prefix.parent_path() / target;
            for (auto rest = std::next(it); rest != relative.end(); ++rest) {
                next /= *rest;
            }
            return next;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::wstring>> SplitDevicePath(std::wstring_view devicePath) {
    std::vector<std::wstring> elements;
    std::size_t pos = 0;
    while (pos <= devicePath.size()) {
        std::size_t end = pos;
        while (end < devicePath.size() && !IsSeparator(devicePath[end])) {
            ++end;
        }
        const std::wstring_view element = devicePath.substr(pos, end - pos);
        if (element.find(L'\0') != std::wstring_view::npos) {
            return std::nullopt;
        }
        if (element == L"..") {
            if (elements.empty()) {
                return std::nullopt;
            }
            elements.pop_back();
        } else if (!element.empty() && element != L".") {
            elements.emplace_back(element);
        }
        pos = end + 1;
    }
    return elements;
}

std::wstring_view LastElement(std::wstring_view devicePath) {
    std::size_t start = devicePath.size();
    while (start > 0 && !IsSeparator(devicePath[start - 1])) {
        --start;
    }
    return devicePath.substr(start);
}

std::optional<stdfs::path> Canonicalize(const stdfs::path& path) {
    std::error_code ec;
    stdfs::path current = stdfs::weakly_canonical(path, ec);
    for (int hop = 0; hop < kMaxLinkHops && !ec; ++hop) {
        std::error_code missing;
        if (stdfs::exists(stdfs::status(current, missing))) {
            return current;  // every component exists, so every link has been followed
        }
        bool failed = false;
        auto next = ThroughDanglingLink(current, failed);
        if (failed) {
            return std::nullopt;
        }
        if (!next) {
            return current;
        }
        current = stdfs::weakly_canonical(*next, ec);
    }
    return std::nullopt;
}

bool IsInside(const stdfs::path& root, const stdfs::path& path) {
    const auto [rootEnd, pathIt] =
        std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    (void)pathIt;
    return rootEnd == root.end();
}

std::optional<stdfs::path> FollowedPath(const stdfs::path& root, std::wstring_view devicePath) {
    const auto elements = SplitDevicePath(devicePath);
    if (!elements) {
        return std::nullopt;
    }
    auto host = Canonicalize(JoinElements(root, *elements, elements->size()));
    if (!host || !IsInside(root, *host)) {
        return std::nullopt;
    }
    return host;
}

std::optional<stdfs::path> EntryPath(const stdfs::path& root, std::wstring_view devicePath) {
    const auto elements = SplitDevicePath(devicePath);
    if (!elements) {
        return std::nullopt;
    }
    if (elements->empty()) {
        return root;
    }
    auto folder = Canonicalize(JoinElements(root, *elements, elements->size() - 1));
    if (!folder || !IsInside(root, *folder)) {
        return std::nullopt;
    }
    return *folder / text::ToUtf8(elements->back());
}

}  // namespace detail

bool IsBareName(std::wstring_view name) {
    if (name.empty() || name == L"." || name == L"..") {
        return false;
    }
    return std::none_of(name.begin(), name.end(),
                        [](wchar_t ch) { return detail::IsSeparator(ch) || ch == L'\0'; });
}

FileSystem::FileSystem(std::filesystem::path root) : m_root(std::filesystem::canonical(root)) {}

std::optional<std::filesystem::path> FileSystem::HostPath(std::wstring_view devicePath) const {
    return detail::FollowedPath(m_root, devicePath);
}

}  // namespace platform::fs
