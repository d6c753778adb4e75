#include "command_line.h"

#include <algorithm>
#include <charconv>

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

}  // namespace

std::string usage_text() {
    return "Usage: stowbox-service --root DIR --account NAME:PASSWORD[:LIMIT]... [OPTION]...\n"
           "Runs a stand-in of the Stowbox service: its FTP server and its web servlets.\n"
           "  --root DIR        keeps each account's files in DIR/accounts/NAME and mails in\n"
           "                    DIR/outbox\n"
           "  --listen ADDRESS  IPv4 address to listen on (default 127.0.0.1)\n"
           "  --ftp-port N      FTP port; 0 picks a free one (default 0)\n"
           "  --web-port N      web port; 0 picks a free one (default 0)\n"
           "  --account ...     an account; LIMIT is its download limit, 1 to 999 (default 10)\n"
           "  --help            print this help and exit\n"
           "  --version         print the version and exit\n"
           "Once listening it prints \"ftp HOST:PORT\" and \"web HOST:PORT\".\n"
           "\n"
           "Examples:\n"
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
        if (option == "--help" || option == "-h" || option == "--version") {
            CommandLine result;
            (option == "--version" ? result.version : result.help) = true;
            return result;
        }
        const bool takes_value = option == "--root" || option == "--listen" ||
                                 option == "--ftp-port" || option == "--web-port" ||
                                 option == "--account" || option == "--idle-timeout";
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
        } else {
            std::string error;
            auto account = parse_account_option(*value, error);
            if (!account) {
                return failure(error);
            }
            const bool duplicate =
                std::any_of(config.accounts.begin(), config.accounts.end(),
                            [&](const AccountSettings& a) { return a.name == account->name; });
            if (duplicate) {
                return failure("account \"" + account->name + "\" is given twice");
            }
            config.accounts.push_back(std::move(*account));
        }
    }
    if (!have_root) {
        return failure("--root is required");
    }
    if (config.accounts.empty()) {
        return failure("at least one --account is required");
    }
    CommandLine result;
    result.config = std::move(config);
    return result;
}

}  // namespace stowbox::service
