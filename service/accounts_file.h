#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "account.h"

namespace stowbox::service {

// One account line of an accounts file and where it lies in the file's text.
struct AccountEntry {
    AccountSettings settings;
    std::size_t offset = 0;  // of the line's first byte
    std::size_t length = 0;  // of the line with its line feed, when it has one
};

// The accounts of an accounts file: one a line, "NAME:HASH[:LIMIT]", HASH as crypt(3) makes
// it (--hash-password prints one) and LIMIT the download limit. Blanks at either end of a
// line do not count; blank lines and lines starting with "#" are skipped. Returns nullopt and
// fills `error`, naming the line, when a line is not usable or an account is given twice.
std::optional<std::vector<AccountEntry>> parse_account_entries(std::string_view text,
                                                               std::string& error);
std::optional<std::vector<AccountSettings>> parse_accounts_text(std::string_view text,
                                                                std::string& error);

// Empty when an accounts file line can carry `name` and read it back the same, else why.
std::string accounts_file_name_problem(std::string_view name);

// The line that gives `account` (its hash, and its limit unless the default), line feed
// included.
std::string account_line(const AccountSettings& account);

struct AccountsFile {
    std::string text;
    struct stat info {};  // of the file read
    std::vector<AccountEntry> entries;
};

// Reads and parses the accounts file at `path`. The file must be a regular file that neither
// its group nor others may read or write: its hashes can be attacked offline. Returns nullopt
// and fills `error`, naming the file, otherwise.
std::optional<AccountsFile> read_accounts_file(const std::filesystem::path& path,
                                               std::string& error);
std::optional<std::vector<AccountSettings>> load_accounts_file(const std::filesystem::path& path,
                                                               std::string& error);

}  // namespace stowbox::service
