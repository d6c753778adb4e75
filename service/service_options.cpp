#include "service_options.h"

#include <algorithm>
#include <charconv>
#include <optional>

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

bool is_number_option(const std::string& option) {
    return option == "--ftp-port" || option == "--web-port" || option == "--idle-timeout" ||
           limit_option(option) != nullptr || option == "--failed-login-delay";
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
    if (option == "--accounts") {
        if (value.empty()) {
            return "--accounts needs a file";
        }
        config.accounts_file = value;
        return {};
    }
    std::string error;
    auto account = parse_account_option(value, error);
    if (!account) {
        return error;
    }
    const bool duplicate =
        std::any_of(config.accounts.begin(), config.accounts.end(),
                    [&](const AccountSettings& a) { return a.name == account->name; });
    if (duplicate) {
        return "account \"" + account->name + "\" is given twice";
    }
    config.accounts.push_back(std::move(*account));
    return {};
}

}  // namespace

bool is_value_option(const std::string& option) {
    return is_path_option(option) || option == "--listen" || option == "--account" ||
           is_number_option(option);
}

bool is_path_option(const std::string& option) {
    return option == "--root" || option == "--accounts" || option == "--tls-cert" ||
           option == "--tls-key";
}

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

std::string check_service_options(const ServiceConfig& config) {
    // The TLS options go together: a certificate needs its key, and TLS cannot be required
    // without them.
    if (config.tls_certificate.empty() != config.tls_key.empty()) {
        return "--tls-cert and --tls-key go together";
    }
    if (config.require_tls && config.tls_certificate.empty()) {
        return "--require-tls needs a certificate: give --tls-cert and --tls-key";
    }
    // --root never sets an empty folder.
    if (config.root.empty()) {
        return "--root is required";
    }
    if (config.accounts.empty() && config.accounts_file.empty()) {
        return "an accounts file is required (--accounts)";
    }
    return {};
}

}  // namespace stowbox::service
