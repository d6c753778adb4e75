#include "account_commands.h"

#include <fcntl.h>
#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "accounts_file.h"
#include "durable_file.h"
#include "password_hash.h"
#include "unique_fd.h"

namespace stowbox::service {

namespace {

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

std::filesystem::path folder_of(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// Holds the lock on the accounts file's folder, so that two commands at once do not each
// write their own change over the other's.
UniqueFd lock_folder(const std::filesystem::path& file, std::string& error) {
    UniqueFd folder(::open(folder_of(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder || ::flock(folder.get(), LOCK_EX) != 0) {
        error = "cannot lock the folder of " + file.string() + ": " + std::strerror(errno);
        return UniqueFd();
    }
    return folder;
}

// The accounts file as it is; an empty one with no owner when it is missing and an account
// is to be added.
std::optional<AccountsFile> current_file(const AccountCommand& command, bool& exists,
                                         std::string& error) {
    struct stat info {};
    exists = ::stat(command.accounts_file.c_str(), &info) == 0 || errno != ENOENT;
    if (!exists && command.action == AccountAction::add) {
        return AccountsFile{};
    }
    return read_accounts_file(command.accounts_file, error);
}

const AccountEntry* entry_of(const AccountsFile& file, const std::string& name) {
    const auto it = std::find_if(file.entries.begin(), file.entries.end(),
                                 [&](const AccountEntry& e) { return e.settings.name == name; });
    return it == file.entries.end() ? nullptr : &*it;
}

// The hash of a new password; nullopt with `error` set when none usable was given.
std::optional<std::string> new_password_hash(const PasswordSource& new_password,
                                             std::string& error) {
    const auto password = new_password(error);
    if (!password) {
        return std::nullopt;
    }
    if (password->empty()) {
        error = "the password is empty";
        return std::nullopt;
    }
    try {
        return hash_password(*password);
    } catch (const std::exception& failure) {
        error = failure.what();
        return std::nullopt;
    }
}

// The file's text with the command carried out, and the line that says so.
std::optional<std::string> changed_text(const AccountCommand& command, const AccountsFile& file,
                                        const PasswordSource& new_password, std::string& done,
                                        std::string& error) {
    const AccountEntry* entry = entry_of(file, command.name);
    const std::string where = command.accounts_file.string();
    if (command.action == AccountAction::add && entry != nullptr) {
        error = "account " + quoted(command.name) + " is in " + where + " already";
        return std::nullopt;
    }
    if (command.action != AccountAction::add && entry == nullptr) {
        error = "there is no account " + quoted(command.name) + " in " + where;
        return std::nullopt;
    }
    std::string text = file.text;
    if (command.action == AccountAction::remove) {
        done = "removed account " + quoted(command.name) + " from " + where;
        return text.erase(entry->offset, entry->length);
    }
    const auto hash = new_password_hash(new_password, error);
    if (!hash) {
        return std::nullopt;
    }
    if (command.action == AccountAction::change_password) {
        AccountSettings account = entry->settings;
        account.password_hash = *hash;
        done = "changed the password of account " + quoted(command.name) + " in " + where;
        return text.replace(entry->offset, entry->length, account_line(account));
    }
    AccountSettings account{command.name, {}, command.download_limit, *hash};
    if (!text.empty() && !text.ends_with('\n')) {
        text += '\n';
    }
    done = "added account " + quoted(command.name) + " (download limit " +
           std::to_string(command.download_limit) + ") to " + where;
    return text + account_line(account);
}

// Puts `text` in place of the accounts file in one step.
bool replace_file(const AccountCommand& command, const std::string& text, const struct stat* model,
                  std::string& error) {
    DurableFile replacement(folder_of(command.accounts_file).string());
    const bool written = replacement && replacement.write(text.data(), text.size()) &&
                         (model == nullptr || replacement.take_owner_and_mode(*model)) &&
                         replacement.commit(command.accounts_file.string());
    if (!written) {
        error = "cannot write " + command.accounts_file.string() + ": " + std::strerror(errno);
    }
    return written;
}

}  // namespace

std::optional<std::string> run_account_command(const AccountCommand& command,
                                               const PasswordSource& new_password,
                                               std::string& error) {
    const UniqueFd lock = lock_folder(command.accounts_file, error);
    if (!lock) {
        return std::nullopt;
    }
    bool exists = false;
    const auto file = current_file(command, exists, error);
    if (!file) {
        return std::nullopt;
    }
    std::string done;
    const auto text = changed_text(command, *file, new_password, done, error);
    if (!text || !replace_file(command, *text, exists ? &file->info : nullptr, error)) {
        return std::nullopt;
    }
    return done;
}

}  // namespace stowbox::service
