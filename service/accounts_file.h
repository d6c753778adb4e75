#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "account.h"

namespace stowbox::service {

// The accounts of an accounts file: one a line, "NAME:HASH[:LIMIT]", HASH as crypt(3) makes
// it (--hash-password prints one) and LIMIT the download limit. Blanks at either end of a
// line do not count; blank lines and lines starting with "#" are skipped. Returns nullopt and
// fills `error`, naming the line, when a line is not usable or an account is given twice.
std::optional<std::vector<AccountSettings>> parse_accounts_text(std::string_view text,
                                                                std::string& error);

// Reads and parses the accounts file at `path`. The file must be a regular file that neither
// its group nor others may read or write: its hashes can be attacked offline. Returns nullopt
// and fills `error`, naming the file, otherwise.
std::optional<std::vector<AccountSettings>> load_accounts_file(const std::filesystem::path& path,
                                                               std::string& error);

}  // namespace stowbox::service
