#include "command_line.h"

#include <algorithm>

#include "accounts_file.h"
#include "service_options.h"
#include "settings_file.h"

namespace stowbox::service {

namespace {

struct GivenOption {
    std::string option;
    std::string value;
};

// What the arguments say before any file is read.
struct Arguments {
    std::vector<GivenOption> options;  // the service's options, in their order
    std::filesystem::path settings_file;
    std::string action_option;  // --add-account, --change-password or --remove-account
    std::string account_name;
    std::optional<std::string> limit;
};

CommandLine failure(std::string error) {
    CommandLine result;
    result.error = std::move(error);
    return result;
}

CommandLine failure_in_file(std::string error) {
    CommandLine result = failure(std::move(error));
    result.error_in_file = true;
    return result;
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

std::optional<AccountAction> account_action(const std::string& option) {
    if (option == "--add-account") {
        return AccountAction::add;
    }
    if (option == "--change-password") {
        return AccountAction::change_password;
    }
    if (option == "--remove-account") {
        return AccountAction::remove;
    }
    return std::nullopt;
}

bool takes_value(const std::string& option) {
    return is_value_option(option) || option == "--config" || option == "--limit" ||
           account_action(option).has_value();
}

// Files `value` under what `option` sets; the error when it cannot be.
std::string take_argument(Arguments& arguments, const std::string& option, std::string value) {
    if (option == "--config") {
        if (!arguments.settings_file.empty() || value.empty()) {
            return "--config needs one settings file";
        }
        arguments.settings_file = std::move(value);
    } else if (account_action(option)) {
        if (!arguments.action_option.empty()) {
            return "one of --add-account, --change-password and --remove-account at a time";
        }
        arguments.action_option = option;
        arguments.account_name = std::move(value);
    } else if (option == "--limit") {
        arguments.limit = std::move(value);
    } else {
        arguments.options.push_back({option, std::move(value)});
    }
    return {};
}

// Sorts the arguments out; a result to return at once for a request for information or
// a bad argument.
std::optional<CommandLine> collect(const std::vector<std::string>& args, Arguments& arguments) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> value;
        if (const auto eq = option.find('='); option.starts_with("--") && eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
        }
        if (auto request = information_request(option)) {
            return request;
        }
        if (option == "--require-tls" && !value) {
            arguments.options.push_back({option, "yes"});
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
        if (auto error = take_argument(arguments, option, std::move(*value)); !error.empty()) {
            return failure(std::move(error));
        }
    }
    return std::nullopt;
}

// Applies one option, --require-tls with its "yes" or "no" included.
std::string apply_setting(ServiceConfig& config, const std::string& option,
                          const std::string& value) {
    if (option != "--require-tls") {
        return apply_option(config, option, value);
    }
    if (value != "yes" && value != "no") {
        return "--require-tls takes yes or no, not \"" + value + "\"";
    }
    config.require_tls = value == "yes";
    return {};
}

// One line of a settings file applied, a relative path taken from the file's own folder;
// the problem with it otherwise.
std::string apply_file_setting(ServiceConfig& config, const std::filesystem::path& file,
                               const Setting& setting) {
    const std::string option = "--" + setting.key;
    // Passwords in clear belong in no file that outlives a test.
    if ((!is_value_option(option) && option != "--require-tls") || option == "--account") {
        return "unknown key \"" + setting.key + "\"";
    }
    std::string value = setting.value;
    if (is_path_option(option) && !value.empty() && std::filesystem::path(value).is_relative()) {
        value = (file.parent_path() / value).string();
    }
    std::string problem = apply_setting(config, option, value);
    // Said in the file's terms: the key, not the option.
    if (problem.starts_with(option)) {
        problem.erase(0, 2);
    }
    return problem;
}

std::string apply_settings_file(ServiceConfig& config, const std::filesystem::path& path) {
    std::string error;
    const auto file = read_settings_file(path, error);
    if (!file) {
        return error;
    }
    for (const auto& setting : file->settings) {
        if (auto problem = apply_file_setting(config, path, setting); !problem.empty()) {
            return settings_line_error(path, setting.line, problem);
        }
    }
    return {};
}

CommandLine account_command_line(const Arguments& arguments, const ServiceConfig& config) {
    const auto& action = arguments.action_option;
    for (const auto& given : arguments.options) {
        if (given.option != "--accounts") {
            return failure(given.option + " does not go with " + action);
        }
    }
    AccountCommand command{*account_action(action), arguments.account_name, kDefaultDownloadLimit,
                           config.accounts_file};
    if (arguments.limit) {
        const auto limit = parse_download_limit(*arguments.limit);
        if (command.action != AccountAction::add || !limit) {
            return failure("--limit goes with --add-account and needs a number 1 to " +
                           std::to_string(kMaxDownloadLimit));
        }
        command.download_limit = *limit;
    }
    if (command.accounts_file.empty()) {
        return failure(arguments.settings_file.empty()
                           ? action + " needs --accounts FILE or --config FILE"
                           : "settings file " + arguments.settings_file.string() +
                                 " names no accounts file");
    }
    if (auto problem = accounts_file_name_problem(command.name); !problem.empty()) {
        return failure(problem);
    }
    CommandLine result;
    result.account_command = std::move(command);
    return result;
}

// Checks that the service can start: the accounts file is read here, so that a bad one is
// refused like a bad option.
CommandLine service_command_line(ServiceConfig config) {
    if (auto error = check_service_options(config); !error.empty()) {
        return failure(std::move(error));
    }
    CommandLine result;
    if (!config.accounts_file.empty()) {
        std::string error;
        const auto from_file = load_accounts_file(config.accounts_file, error);
        if (!from_file) {
            return failure_in_file(std::move(error));
        }
        for (const auto& account : *from_file) {
            const bool given =
                std::any_of(config.accounts.begin(), config.accounts.end(),
                            [&](const AccountSettings& a) { return a.name == account.name; });
            if (given) {
                return failure("account \"" + account.name + "\" is given twice");
            }
        }
        if (from_file->empty() && config.accounts.empty()) {
            result.notice = "the accounts file " + config.accounts_file.string() +
                            " holds no account yet; add one with stowbox-service --add-account "
                            "NAME --accounts " +
                            config.accounts_file.string();
        }
    }
    result.config = std::move(config);
    return result;
}

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& args) {
    Arguments arguments;
    if (auto early = collect(args, arguments)) {
        return *early;
    }
    ServiceConfig config;
    // The file first, so that the command line's options take its settings' place.
    if (!arguments.settings_file.empty()) {
        if (auto error = apply_settings_file(config, arguments.settings_file); !error.empty()) {
            return failure_in_file(std::move(error));
        }
    }
    for (const auto& given : arguments.options) {
        if (auto error = apply_setting(config, given.option, given.value); !error.empty()) {
            return failure(std::move(error));
        }
    }
    if (!arguments.action_option.empty()) {
        return account_command_line(arguments, config);
    }
    if (arguments.limit) {
        return failure("--limit goes with --add-account");
    }
    return service_command_line(std::move(config));
}

}  // namespace stowbox::service
