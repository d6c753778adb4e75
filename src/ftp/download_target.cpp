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
constexpr std::string_view kTemporaryMark = ".part-";
constexpr std::size_t kSuffixDigits = 16;

template <class Char>
bool HasTemporaryForm(std::basic_string_view<Char> name) {
    const std::size_t tail = kTemporaryMark.size() + kSuffixDigits;
    if (name.size() < 2 + tail || name.front() != Char('.')) {
        return false;
    }
    const std::size_t mark = name.size() - tail;
    for (std::size_t i = 0; i < kTemporaryMark.size(); ++i) {
        if (name[mark + i] != Char(kTemporaryMark[i])) {
            return false;
        }
    }
    for (std::size_t i = mark + kTemporaryMark.size(); i < name.size(); ++i) {
        const Char ch = name[i];
        if (!((ch >= Char('0') && ch <= Char('9')) || (ch >= Char('a') && ch <= Char('f')))) {
            return false;
        }
    }
    return true;
}

std::string RandomSuffix() {
    std::random_device device;
    const std::uint64_t value = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix(kSuffixDigits, '0');
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
        if (IsSeparator(ch) || ch == L'\0') {
            return false;
        }
    }
    return true;
}

bool IsDownloadTemporary(std::wstring_view name) {
    return HasTemporaryForm(name);
}

void RemoveStaleTemporaries(const std::filesystem::path& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        // Only plain files: a link or folder of that name was not made by a download.
        if (HasTemporaryForm(std::string_view(name)) && it->is_regular_file(ignored) &&
            !it->is_symlink(ignored)) {
            std::filesystem::remove(it->path(), ignored);
        }
    }
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
    return DownloadTarget{
        *host, host->parent_path() / ("." + name + std::string(kTemporaryMark) + RandomSuffix())};
}

}  // namespace ftp
