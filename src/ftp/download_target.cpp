#include "ftp/download_target.h"

#include <cstdint>
#include <random>
#include <string>
#include <system_error>

namespace ftp {
namespace {

bool IsSeparator(wchar_t ch) {
    return ch == L'/' || ch == L'\\';
}

std::wstring_view LastElement(std::wstring_view path) {
    std::size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1])) {
        --start;
    }
    return path.substr(start);
}

// Host file names are limited to 255 bytes; the temporary name adds its marks to a prefix
// of the target's name.
constexpr std::size_t kMaxNamePrefix = 200;

std::string RandomSuffix() {
    std::random_device device;
    const std::uint64_t value = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix(16, '0');
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        suffix[i] = kDigits[(value >> (4 * i)) & 0xF];
    }
    return suffix;
}

}  // namespace

bool IsBareName(std::wstring_view name) {
    if (name.empty() || name == L"." || name == L"..") {
        return false;
    }
    for (const wchar_t ch : name) {
        if (IsSeparator(ch)) {
            return false;
        }
    }
    return true;
}

std::optional<DownloadTarget> PlanDownload(const platform::fs::FileSystem& files,
                                           std::wstring_view remoteName,
                                           std::wstring_view localPath) {
    if (!IsBareName(LastElement(localPath))) {
        return std::nullopt;
    }
    if (localPath == remoteName && !IsBareName(remoteName)) {
        return std::nullopt;
    }
    const auto host = files.HostPath(localPath);
    if (!host) {
        return std::nullopt;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(*host, ec)) {
        return std::nullopt;
    }
    const std::string name = host->filename().string().substr(0, kMaxNamePrefix);
    return DownloadTarget{*host, host->parent_path() / ("." + name + ".part-" + RandomSuffix())};
}

}  // namespace ftp
