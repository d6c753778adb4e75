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
    // The device folder is the person's own: the installed page is shown where it lies.
    if (Lower(devicePath) != kShippedPage || std::filesystem::exists(*host, error) ||
        shippedPage.empty() || !std::filesystem::is_regular_file(shippedPage, error)) {
        return std::nullopt;
    }
    return shippedPage;
}

std::filesystem::path ShippedHelpPage() {
    const auto data = ProgramDataFolder();
    return data.empty() ? data : data / "Kestra.htm";
}

}  // namespace qtfront
