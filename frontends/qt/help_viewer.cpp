#include "help_viewer.h"

#include <algorithm>
#include <cwctype>
#include <string_view>
#include <system_error>

#include "data_folder.h"

namespace qtfront {

namespace {

constexpr std::wstring_view kHelpViewer = L"peghelp.exe";
constexpr std::wstring_view kFileScheme = L"file:";
constexpr std::wstring_view kShippedPage = L"\\windows\\kestra.htm";

std::wstring Lower(std::wstring_view text) {
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) {
        return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    });
    return lower;
}

// The last element of a device path, either separator.
std::wstring_view BaseName(std::wstring_view path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

bool CopyShippedPage(const std::filesystem::path& shipped, const std::filesystem::path& host) {
    std::error_code error;
    if (shipped.empty() || !std::filesystem::is_regular_file(shipped, error)) {
        return false;
    }
    std::filesystem::create_directories(host.parent_path(), error);
    if (error) {
        return false;
    }
    // Copied beside and renamed, so an interrupted copy never leaves half a page.
    const std::filesystem::path partial = host.string() + ".partial";
    if (!std::filesystem::copy_file(shipped, partial,
                                    std::filesystem::copy_options::overwrite_existing, error)) {
        std::filesystem::remove(partial, error);
        return false;
    }
    std::filesystem::rename(partial, host, error);
    if (error) {
        std::filesystem::remove(partial, error);
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::filesystem::path> PrepareHelpPage(const platform::fs::FileSystem& files,
                                                     const std::wstring& program,
                                                     const std::wstring& commandLine,
                                                     const std::filesystem::path& shippedPage) {
    if (Lower(BaseName(program)) != kHelpViewer) {
        return std::nullopt;
    }
    std::wstring_view target = commandLine;
    if (Lower(target.substr(0, kFileScheme.size())) == kFileScheme) {
        target.remove_prefix(kFileScheme.size());
    }
    std::wstring devicePath(target);
    std::replace(devicePath.begin(), devicePath.end(), L'/', L'\\');
    const auto host = files.HostPath(devicePath);
    if (!host) {
        return std::nullopt;
    }
    std::error_code error;
    if (std::filesystem::is_regular_file(*host, error)) {
        return host;
    }
    if (Lower(devicePath) != kShippedPage || std::filesystem::exists(*host, error) ||
        !CopyShippedPage(shippedPage, *host)) {
        return std::nullopt;
    }
    return host;
}

std::filesystem::path ShippedHelpPage() {
    const auto data = ProgramDataFolder();
    return data.empty() ? data : data / "Kestra.htm";
}

}  // namespace qtfront
