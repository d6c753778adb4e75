#include "account_fs.h"

#include <sys/stat.h>

#include <filesystem>
#include <vector>

namespace stowbox::service {

std::optional<std::string> resolve_virtual(std::string_view cwd, std::string_view arg) {
    // Names with these bytes could not be listed or addressed again.
    if (arg.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) {
        return std::nullopt;
    }
    std::vector<std::string_view> parts;
    auto walk = [&parts](std::string_view path) {
        while (!path.empty()) {
            const auto slash = path.find('/');
            const auto part = path.substr(0, slash);
            path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
            if (part.empty() || part == ".") {
                continue;
            }
            if (part == "..") {
                if (parts.empty()) {
                    return false;
                }
                parts.pop_back();
                continue;
            }
            parts.push_back(part);
        }
        return true;
    };
    if (!arg.starts_with('/') && !walk(cwd)) {
        return std::nullopt;
    }
    if (!walk(arg)) {
        return std::nullopt;
    }
    std::string result;
    for (const auto part : parts) {
        result += '/';
        result += part;
    }
    return result.empty() ? "/" : result;
}

std::optional<std::string> AccountFs::contained(const std::string& host_path) const {
    std::error_code error;
    auto canonical = std::filesystem::canonical(host_path, error).string();
    if (error) {
        return std::nullopt;
    }
    if (canonical == home_ || (canonical.size() > home_.size() && canonical.starts_with(home_) &&
                               canonical[home_.size()] == '/')) {
        return canonical;
    }
    return std::nullopt;
}

std::string last_part(std::string_view vpath) {
    return std::string(vpath.substr(vpath.rfind('/') + 1));
}

std::optional<std::string> AccountFs::target(std::string_view vpath) const {
    return contained(vpath == "/" ? home_ : home_ + std::string(vpath));
}

std::optional<std::string> AccountFs::entry(std::string_view vpath) const {
    if (vpath == "/") {
        return home_;
    }
    const auto slash = vpath.rfind('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto folder = target(slash == 0 ? "/" : vpath.substr(0, slash));
    struct stat info {};
    if (!folder || ::stat(folder->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return *folder + std::string(vpath.substr(slash));
}

}  // namespace stowbox::service
