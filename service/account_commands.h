#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "account.h"

namespace stowbox::service {

enum class AccountAction { add, change_password, remove };

// A change to an accounts file, as --add-account, --change-password and --remove-account
// ask for it.
struct AccountCommand {
    AccountAction action = AccountAction::add;
    std::string name;
    int download_limit = kDefaultDownloadLimit;  // of an account added
    std::filesystem::path accounts_file;
};

// Gives the new password, or nullopt with `error` set.
using PasswordSource = std::function<std::optional<std::string>(std::string& error)>;

// Carries out `command`: the accounts file is rewritten whole and atomically, keeping its
// owner, group and mode; a missing one is created private to its owner, for an account
// added. Returns the line that says what was done, or nullopt with `error` set and the file
// as it was.
std::optional<std::string> run_account_command(const AccountCommand& command,
                                               const PasswordSource& new_password,
                                               std::string& error);

}  // namespace stowbox::service
