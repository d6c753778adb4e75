#pragma once
// The device settings file: the device options kept in one place, below the command line.
// The program only reads it; a person writes it.

#include <filesystem>
#include <optional>
#include <string>

#include "launcher/launch_options.h"

// $XDG_CONFIG_HOME/stowbox/device.conf, or the same below ~/.config when XDG_CONFIG_HOME is
// unset or not absolute; nothing when there is no home folder either.
std::optional<std::filesystem::path> DeviceSettingsPath();

// Reads `file` into the device options the command line left unset and records where each
// came from. A missing file sets nothing. Every line is checked, also those the command line
// overrides; the first that cannot be read is the error, naming the file and the line.
std::optional<std::string> ApplyDeviceSettings(const std::filesystem::path& file,
                                               LaunchOptions& options);
