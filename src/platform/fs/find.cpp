#include <algorithm>
#include <string>
#include <system_error>

#include "platform/fs/file_system.h"
#include "platform/fs/host_path.h"
#include "platform/text/codepage.h"

namespace platform::fs {

std::vector<FindData> FileSystem::Find(std::wstring_view pathWithPattern) const {
    const auto cut = pathWithPattern.find_last_of(L"\\/");
    const std::wstring_view folderPart =
        cut == std::wstring_view::npos ? std::wstring_view() : pathWithPattern.substr(0, cut);
    const std::wstring_view pattern =
        cut == std::wstring_view::npos ? pathWithPattern : pathWithPattern.substr(cut + 1);
    const auto folder = HostPath(folderPart);
    if (pattern.empty() || !folder) {
        return {};
    }

    struct Found {
        std::string hostName;
        FindData data;
    };
    std::vector<Found> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(*folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string hostName = it->path().filename().string();
        std::wstring name = text::FromUtf8(hostName);
        if (!detail::WildcardMatch(pattern, name)) {
            continue;
        }
        const auto description = detail::Describe(m_root, it->path(), name);
        if (!description) {
            continue;  // removed while we looked
        }
        found.push_back({std::move(hostName),
                         FindData{std::move(name), description->attributes, description->sizeLow}});
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.hostName < b.hostName; });

    std::vector<FindData> result;
    result.reserve(found.size());
    for (auto& entry : found) {
        result.push_back(std::move(entry.data));
    }
    return result;
}

}  // namespace platform::fs
