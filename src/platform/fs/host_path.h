#pragma once
// How device paths become host paths; shared by the file system's sources only.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::fs::detail {

// The elements of a device path ("\" and "/" both separate, empty and "." elements drop
// out, ".." goes up one). Nothing when ".." would climb above the root or an element
// holds a NUL character.
std::optional<std::vector<std::wstring>> SplitDevicePath(std::wstring_view devicePath);

// The text after the last separator ("" when the path ends with one).
std::wstring_view LastElement(std::wstring_view devicePath);

// The host path with every symbolic link followed, a dangling link's target included;
// a missing tail is kept as written. Nothing on a link loop or an unreadable folder.
std::optional<std::filesystem::path> Canonicalize(const std::filesystem::path& path);

// Whether `path` is `root` or lies below it; both canonical.
bool IsInside(const std::filesystem::path& root, const std::filesystem::path& path);

// The device path's host path with every link followed, or nothing when it leaves the root.
std::optional<std::filesystem::path> FollowedPath(const std::filesystem::path& root,
                                                  std::wstring_view devicePath);

// The host path of the entry itself: its folder resolved inside the root, its last
// element taken as it is (a link there is not followed). The root for "\".
std::optional<std::filesystem::path> EntryPath(const std::filesystem::path& root,
                                               std::wstring_view devicePath);

struct Description {
    std::uint32_t attributes{};
    std::uint32_t sizeLow{};
};

// What the device reports for the entry at `entry` (not followed if it is a link);
// nothing when it does not exist. `name` is its device name ("" for the root).
std::optional<Description> Describe(const std::filesystem::path& root,
                                    const std::filesystem::path& entry, std::wstring_view name);

// Case-insensitive match with "*" and "?"; a trailing ".*" also matches names without a dot.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view name);

}  // namespace platform::fs::detail
