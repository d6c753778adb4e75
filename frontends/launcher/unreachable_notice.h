#pragma once
// When the program's built-in FTP server does not answer, the program's own message box
// cannot say why; one line on standard error names the address tried and where it is set.

#include <filesystem>
#include <optional>

#include "launcher/launch_options.h"
#include "platform/net/socket.h"

// A hook for the device's network that prints that line to standard error whenever a
// connection aimed at the built-in FTP server fails.
platform::net::Network::ConnectFailureHook UnreachableServerNotice(
    const LaunchOptions& options, const std::optional<std::filesystem::path>& settingsFile);
