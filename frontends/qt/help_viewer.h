#pragma once
// The device's help viewer: on this host, the help page opens in the desktop's browser.
// The project installs the program's help page with it; a device without its own page is
// shown the installed one, and nothing is written into the device.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/fs/file_system.h"

namespace qtfront {

// The host file the help viewer would show for `commandLine` ("file:\Windows\Kestra.htm"):
// the device's own page, or `shippedPage` when the device has none. Nothing when `program` is
// not the help viewer, the path leaves the device, or there is no such page.
std::optional<std::filesystem::path> PrepareHelpPage(const platform::fs::FileSystem& files,
                                                     const std::wstring& program,
                                                     const std::wstring& commandLine,
                                                     const std::filesystem::path& shippedPage);

// The help page installed with the program; empty when the program cannot tell where it is.
std::filesystem::path ShippedHelpPage();

}  // namespace qtfront
