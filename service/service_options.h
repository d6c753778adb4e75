#pragma once
// The options a service runs with, whether given on the command line or in a settings file
// (there the key is the long option without its dashes).

#include <string>

#include "service_config.h"

namespace stowbox::service {

// Whether `option` ("--root") sets part of the service's configuration from a value.
bool is_value_option(const std::string& option);

// Whether the value of `option` names a file or folder.
bool is_path_option(const std::string& option);

// Sets what `option` says with `value`; the error when the value does not do.
std::string apply_option(ServiceConfig& config, const std::string& option,
                         const std::string& value);

// The error when the options together do not make a service that can run.
std::string check_service_options(const ServiceConfig& config);

}  // namespace stowbox::service
