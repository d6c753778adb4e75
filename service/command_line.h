#pragma once

#include <optional>
#include <string>
#include <vector>

#include "account_commands.h"
#include "service_config.h"

namespace stowbox::service {

struct CommandLine {
    std::optional<ServiceConfig> config;            // set when the arguments make a service to run
    std::optional<AccountCommand> account_command;  // set when they change an accounts file
    bool help = false;
    bool version = false;
    bool hash_password = false;  // print the hash of a password read from standard input
    std::string notice;          // to say on standard error before the service starts
    std::string error;
    bool error_in_file = false;  // the error is a file's, which the usage would not help with
};

// The options, with those of the settings file given by --config: the command line's win
// over the file's, whatever their order.
CommandLine parse_command_line(const std::vector<std::string>& args);

std::string usage_text();

}  // namespace stowbox::service
