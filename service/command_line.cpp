#include "command_line.h"

#include <algorithm>
#include <charconv>

#include "accounts_file.h"
#include "net_io.h"

namespace stowbox::service {

namespace {

std::optional<long> parse_number(const std::string& text, long low, long high) {
    long value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

CommandLine failure(std::string error) {
    CommandLine result;
    result.error = std::move(error);
    return result;
}

// The field a limit option sets, or nothing for other options.
std::size_t ServiceConfig::*limit_option(const std::string& option) {
    if (option == "--max-connections-per-address") {
        return &ServiceConfig::max_connections_per_address;
    }
    if (option == "--max-pending-logins-per-address") {
        return &ServiceConfig::max_pending_logins_per_address;
    }
    if (option == "--max-sessions-per-account") {
        return &ServiceConfig::max_sessions_per_account;
    }
    if (option == "--max-web-connections-per-address") {
        return &ServiceConfig::max_web_connections_per_address;
    }
    return nullptr;
}

// Adds `accounts` to the configuration; the error when a name is taken already.
std::string add_accounts(ServiceConfig& config, std::vector<AccountSettings> accounts) {
    for (auto& account : accounts) {
        const bool duplicate =
            std::any_of(config.accounts.begin(), config.accounts.end(),
                        [&](const AccountSettings& a) { return a.name == account.name; });
        if (duplicate) {
            return "account \"" + account.name + "\" is given twice";
        }
        config.accounts.push_back(std::move(account));
    }
    return {};
}

}  // namespace

std::string usage_text() {
    return "Usage: stowbox-service --root DIR --accounts FILE [OPTION]...\n"
           "  or:  stowbox-service --hash-password\n"
           "Runs a stand-in of the Stowbox service: its FTP server and its web servlets.\n"
           "  --root DIR        keeps each account's files in DIR/accounts/NAME, mails in\n"
           "                    DIR/outbox and shares in DIR/shares.db\n"
           "  --accounts FILE   reads the accounts from FILE, one a line: NAME:HASH[:LIMIT],\n"
           "                    HASH as --hash-password prints it, LIMIT the download limit,\n"
           "                    1 to 999 (default 10); blank lines and lines starting with #\n"
           "                    are skipped; group and others may not read or write FILE\n"
           "  --account NAME:PASSWORD[:LIMIT]\n"
           "                    an account given in clear, for testing only: the process list\n"
           "                    shows it to everyone\n"
           "  --hash-password   reads a password line from standard input, prints its hash for\n"
           "                    an accounts file and exits\n"
           "  --listen ADDRESS  IPv4 address to listen on (default 127.0.0.1)\n"
           "  --ftp-port N      FTP port; 0 picks a free one (default 0)\n"
           "  --web-port N      web port; 0 picks a free one (default 0)\n"
           "  --max-connections-per-address N\n"
           "                    FTP connections one client address may hold (default 32)\n"
           "  --max-pending-logins-per-address N\n"
           "                    FTP log-ins one address may have under way; its further\n"
           "                    connections wait for their turn (default 4)\n"
           "  --max-sessions-per-account N\n"
           "                    FTP sessions one account may have at once (default 8)\n"
           "  --failed-login-delay MS\n"
           "                    a wrong FTP password is answered after MS milliseconds; the\n"
           "                    third closes the connection (default 1000)\n"
           "  --max-web-connections-per-address N\n"
           "                    web connections one client address may hold (default 8)\n"
           "  --help            print this help and exit\n"
           "  --version         print the version and exit\n"
           "Once listening it prints \"ftp HOST:PORT\" and \"web HOST:PORT\".\n"
           "\n"
           "Examples:\n"
           "  stowbox-service --hash-password >hash     (then type the password)\n"
           "  stowbox-service --root /srv/stowbox --accounts /etc/stowbox/accounts\n"
           "  stowbox-service --root /tmp/stowbox-service --ftp-port 2121 --account alice:secret\n";
}

CommandLine parse_command_line(const std::vector<std::string>& args) {
    ServiceConfig config;
    bool have_root = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> value;
        if (const auto eq = option.find('='); option.starts_with("--") && eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
        }
        if (option == "--help" || option == "-h" || option == "--version" ||
            option == "--hash-password") {
            CommandLine result;
            result.help = option == "--help" || option == "-h";
            result.version = option == "--version";
            result.hash_password = option == "--hash-password";
            return result;
        }
        const bool takes_value = option == "--root" || option == "--listen" ||
                                 option == "--ftp-port" || option == "--web-port" ||
                                 option == "--account" || option == "--accounts" ||
                                 option == "--idle-timeout" || limit_option(option) != nullptr ||
                                 option == "--failed-login-delay";
        if (!takes_value) {
            return failure("unknown argument \"" + args[i] + "\"");
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return failure(option + " needs a value");
            }
            value = args[++i];
        }
        if (option == "--root") {
            if (value->empty()) {
                return failure("--root needs a folder");
            }
            config.root = *value;
            have_root = true;
        } else if (option == "--listen") {
            if (!parse_ipv4(*value)) {
                return failure("--listen needs an IPv4 address, not \"" + *value + "\"");
            }
            config.listen = *value;
        } else if (option == "--ftp-port" || option == "--web-port") {
            const auto port = parse_number(*value, 0, 65535);
            if (!port) {
                return failure(option + " needs a port number 0 to 65535, not \"" + *value + "\"");
            }
            (option == "--ftp-port" ? config.ftp_port : config.web_port) = std::uint16_t(*port);
        } else if (option == "--idle-timeout") {
            const auto seconds = parse_number(*value, 1, 24 * 3600);
            if (!seconds) {
                return failure("--idle-timeout needs a number of seconds");
            }
            config.idle_timeout = std::chrono::seconds(*seconds);
        } else if (const auto field = limit_option(option)) {
            const auto limit = parse_number(*value, 1, 100000);
            if (!limit) {
                return failure(option + " needs a number 1 to 100000, not \"" + *value + "\"");
            }
            config.*field = std::size_t(*limit);
        } else if (option == "--failed-login-delay") {
            const auto delay = parse_number(*value, 0, 60000);
            if (!delay) {
                return failure("--failed-login-delay needs milliseconds 0 to 60000");
            }
            config.failed_login_delay = std::chrono::milliseconds(*delay);
        } else if (option == "--accounts") {
            std::string error;
            auto accounts = load_accounts_file(*value, error);
            if (!accounts) {
                return failure(error);
            }
            if (error = add_accounts(config, std::move(*accounts)); !error.empty()) {
                return failure(error);
            }
        } else {
            std::string error;
            auto account = parse_account_option(*value, error);
            if (!account) {
                return failure(error);
            }
            if (error = add_accounts(config, {std::move(*account)}); !error.empty()) {
                return failure(error);
            }
        }
    }
    if (!have_root) {
        return failure("--root is required");
    }
    if (config.accounts.empty()) {
        return failure("at least one account is required (--accounts or --account)");
    }
    CommandLine result;
    result.config = std::move(config);
    return result;
}

}  // namespace stowbox::service
