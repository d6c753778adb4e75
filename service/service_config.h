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
    // More accounts, hashed, one a line; re-read whenever it has changed. None when empty.
    std::filesystem::path accounts_file;
    // Both given turn on TLS: FTP's AUTH TLS and HTTPS on the web port, with one certificate.
    std::filesystem::path tls_certificate;
    std::filesystem::path tls_key;
    // Log-ins and transfers are refused until the client has protected them.
    bool require_tls = false;
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
    // One address may hold this many FTP connections; when the server is full, a newcomer
    // pushes out the oldest connection not logged in of an address that holds more.
    std::size_t max_connections_per_address = 32;
    // Log-ins one address may have under way at once; its further connections wait for
    // their turn (within the log-in time-out) before they are greeted.
    std::size_t max_pending_logins_per_address = 4;
    std::size_t max_sessions_per_account = 8;
    // A wrong password is answered only after this pause; the connection ends after that
    // many wrong passwords.
    std::chrono::milliseconds failed_login_delay = std::chrono::seconds(1);
    std::size_t max_login_failures = 3;
    std::size_t max_command_line = 4096;
    // Web: a request must arrive whole, and its response leave, within this time.
    std::chrono::milliseconds web_timeout = std::chrono::seconds(5);
    // Web: the request line and headers together.
    std::size_t max_request_head = 16 * 1024;
    std::size_t max_web_connections = 32;
    std::size_t max_web_connections_per_address = 8;
    // Web: after this many wrong passwords from one address, or for one account or share
    // link, its tries are refused for a pause that doubles with each further failure.
    std::size_t web_free_guesses = 3;
    std::chrono::milliseconds web_guess_pause = std::chrono::seconds(1);
    std::chrono::milliseconds web_longest_guess_pause = std::chrono::hours(1);
};

}  // namespace stowbox::service
