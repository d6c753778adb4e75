#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "account.h"

namespace stowbox::service {

struct ServiceConfig {
    std::filesystem::path root;
    std::string listen = "127.0.0.1";
    std::uint16_t ftp_port = 0;  // 0 picks a free port
    std::uint16_t web_port = 0;
    std::vector<AccountSettings> accounts;
    std::chrono::milliseconds idle_timeout = std::chrono::minutes(5);
    // How long a transfer waits for the data connection, and for progress once it runs.
    std::chrono::milliseconds data_timeout = std::chrono::seconds(30);
    std::size_t max_sessions = 64;
    std::size_t max_command_line = 4096;
};

}  // namespace stowbox::service
