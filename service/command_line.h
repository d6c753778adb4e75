#pragma once

#include <optional>
#include <string>
#include <vector>

#include "service_config.h"

namespace stowbox::service {

struct CommandLine {
    std::optional<ServiceConfig> config;  // set when the arguments are usable
    bool help = false;
    bool version = false;
    bool hash_password = false;  // print the hash of a password read from standard input
    std::string error;
};

CommandLine parse_command_line(const std::vector<std::string>& args);

std::string usage_text();

}  // namespace stowbox::service
