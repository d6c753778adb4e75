#pragma once

#include <optional>
#include <string>

namespace stowbox::service {

// A new password, never from the command line: asked twice without echo when standard
// input is a terminal (the two must match), else the first line of standard input, for
// scripts. Nullopt with `error` set when none was given.
std::optional<std::string> read_new_password(std::string& error);

}  // namespace stowbox::service
