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
    // A whole command line must arrive within this, however slowly its bytes trickle in.
    std::chrono::milliseconds idle_timeout = std::chrono::minutes(5);
    // A connection that has not logged in by then is closed.
    std::chrono::milliseconds login_timeout = std::chrono::seconds(30);
    // How long a transfer waits for the data connection, and for progress once it runs.
    std::chrono::milliseconds data_timeout = std::chrono::seconds(30);
    std::size_t max_sessions = 64;
    // Of those, connections not logged in yet, so that a crowd of them leaves room for
    // sessions that did log in.
    std::size_t max_pending_logins = 16;
    std::size_t max_command_line = 4096;
    // Web: a request must arrive whole, and its response leave, within this time.
    std::chrono::milliseconds web_timeout = std::chrono::seconds(5);
    // Web: the request line and headers together.
    std::size_t max_request_head = 16 * 1024;
    std::size_t max_web_connections = 32;
};

}  // namespace stowbox::service
