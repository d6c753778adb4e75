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

// --help, --version and --hash-password: the one thing the run is to do, whatever follows.
std::optional<CommandLine> information_request(const std::string& option) {
    if (option != "--help" && option != "-h" && option != "--version" &&
        option != "--hash-password") {
        return std::nullopt;
    }
    CommandLine result;
    result.help = option == "--help" || option == "-h";
    result.version = option == "--version";
    result.hash_password = option == "--hash-password";
    return result;
}

bool is_number_option(const std::string& option) {
    return option == "--ftp-port" || option == "--web-port" || option == "--idle-timeout" ||
           limit_option(option) != nullptr || option == "--failed-login-delay";
}

bool takes_value(const std::string& option) {
    return option == "--root" || option == "--listen" || option == "--account" ||
           option == "--accounts" || option == "--tls-cert" || option == "--tls-key" ||
           is_number_option(option);
}

// Sets the field of a number option; the error when the value does not fit it.
std::string apply_number_option(ServiceConfig& config, const std::string& option,
                                const std::string& value) {
    if (option == "--ftp-port" || option == "--web-port") {
        const auto port = parse_number(value, 0, 65535);
        if (!port) {
            return option + " needs a port number 0 to 65535, not \"" + value + "\"";
        }
        (option == "--ftp-port" ? config.ftp_port : config.web_port) = std::uint16_t(*port);
    } else if (option == "--idle-timeout") {
        const auto seconds = parse_number(value, 1, 24 * 3600);
        if (!seconds) {
            return "--idle-timeout needs a number of seconds";
        }
        config.idle_timeout = std::chrono::seconds(*seconds);
    } else if (const auto field = limit_option(option)) {
        const auto limit = parse_number(value, 1, 100000);
        if (!limit) {
            return option + " needs a number 1 to 100000, not \"" + value + "\"";
        }
        config.*field = std::size_t(*limit);
    } else {
        const auto delay = parse_number(value, 0, 60000);
        if (!delay) {
            return "--failed-login-delay needs milliseconds 0 to 60000";
        }
        config.failed_login_delay = std::chrono::milliseconds(*delay);
    }
    return {};
}

// --accounts FILE or --account NAME:PASSWORD[:LIMIT]; the error when one cannot be added.
std::string apply_account_option(ServiceConfig& config, const std::string& option,
                                 const std::string& value) {
    std::string error;
    if (option == "--accounts") {
        auto accounts = load_accounts_file(value, error);
        return accounts ? add_accounts(config, std::move(*accounts)) : error;
    }
    auto account = parse_account_option(value, error);
    return account ? add_accounts(config, {std::move(*account)}) : error;
}

// Sets what an option with its value says; the error when the value does not do.
std::string apply_option(ServiceConfig& config, const std::string& option,
                         const std::string& value) {
    if (option == "--root") {
        if (value.empty()) {
            return "--root needs a folder";
        }
        config.root = value;
    } else if (option == "--listen") {
        if (!parse_ipv4(value)) {
            return "--listen needs an IPv4 address, not \"" + value + "\"";
        }
        config.listen = value;
    } else if (option == "--tls-cert" || option == "--tls-key") {
        if (value.empty()) {
            return option + " needs a file";
        }
        (option == "--tls-cert" ? config.tls_certificate : config.tls_key) = value;
    } else if (is_number_option(option)) {
        return apply_number_option(config, option, value);
    } else {
        return apply_account_option(config, option, value);
    }
    return {};
}

// The TLS options go together: a certificate needs its key, and TLS cannot be required
// without them.
std::string check_tls_options(const ServiceConfig& config) {
    if (config.tls_certificate.empty() != config.tls_key.empty()) {
        return "--tls-cert and --tls-key go together";
    }
    if (config.require_tls && config.tls_certificate.empty()) {
        return "--require-tls needs a certificate: give --tls-cert and --tls-key";
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
           "  --tls-cert FILE   turns on TLS with the certificate (and chain) in FILE, PEM: FTP\n"
           "                    clients may protect the session with AUTH TLS, PBSZ 0 and\n"
           "                    PROT P (a data connection must reuse the control connection's\n"
           "                    TLS session), and the web port speaks HTTPS only\n"
           "  --tls-key FILE    the certificate's private key, PEM\n"
           "  --require-tls     refuses USER before AUTH TLS (530) and transfers before\n"
           "                    PROT P (521); needs --tls-cert and --tls-key\n"
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> value;
        if (const auto eq = option.find('='); option.starts_with("--") && eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
        }
        if (auto request = information_request(option)) {
            return *request;
        }
        if (option == "--require-tls" && !value) {
            config.require_tls = true;
            continue;
        }
        if (!takes_value(option)) {
            return failure("unknown argument \"" + args[i] + "\"");
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return failure(option + " needs a value");
            }
            value = args[++i];
        }
        if (auto error = apply_option(config, option, *value); !error.empty()) {
            return failure(std::move(error));
        }
    }
    if (auto error = check_tls_options(config); !error.empty()) {
        return failure(std::move(error));
    }
    // --root never sets an empty folder.
    if (config.root.empty()) {
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
