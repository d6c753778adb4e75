#pragma once
// The device of a program run against the stand-in service: its folder, and the built-in
// FTP address routed to the service.

#include <filesystem>

#include "script/run_program.h"
#include "support/service_process.h"

namespace testing_support::qt {

inline script::DeviceOptions DeviceOn(const ServiceProcess& service,
                                      const std::filesystem::path& root) {
    script::DeviceOptions options;
    options.root = root;
    options.ftpServer =
        platform::net::Endpoint{service.Host(), static_cast<std::uint16_t>(service.FtpPort())};
    return options;
}

}  // namespace testing_support::qt
