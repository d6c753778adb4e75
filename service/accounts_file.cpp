#include "accounts_file.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "password_hash.h"
#include "small_file.h"

namespace stowbox::service {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The account on `line`, or nullopt with `error` set.
std::optional<AccountSettings> parse_line(std::string_view line, std::string& error) {
    const auto name_end = line.find(':');
    if (name_end == std::string_view::npos) {
        error = "not NAME:HASH[:LIMIT]";
        return std::nullopt;
    }
    AccountSettings account;
    account.name = std::string(line.substr(0, name_end));
    if (auto problem = account_name_problem(account.name); !problem.empty()) {
        error = problem;
        return std::nullopt;
    }
    std::string_view rest = line.substr(name_end + 1);
    if (const auto hash_end = rest.find(':'); hash_end != std::string_view::npos) {
        const auto limit = parse_download_limit(rest.substr(hash_end + 1));
        if (!limit) {
            error = "the download limit must be 1 to " + std::to_string(kMaxDownloadLimit);
            return std::nullopt;
        }
        account.download_limit = *limit;
        rest = rest.substr(0, hash_end);
    }
    account.password_hash = std::string(rest);
    if (auto problem = hash_problem(account.password_hash); !problem.empty()) {
        error = problem + "; make one with --hash-password";
        return std::nullopt;
    }
    return account;
}

}  // namespace

std::optional<std::vector<AccountEntry>> parse_account_entries(std::string_view text,
                                                               std::string& error) {
    std::vector<AccountEntry> entries;
    int number = 0;
    for (std::size_t offset = 0; offset < text.size();) {
        const auto end = std::min(text.find('\n', offset), text.size());
        const std::size_t length = std::min(end + 1, text.size()) - offset;
        std::string_view line = text.substr(offset, end - offset);
        const std::size_t line_offset = std::exchange(offset, offset + length);
        ++number;
        while (!line.empty() && is_blank(line.back())) {
            line.remove_suffix(1);
        }
        const auto first = std::find_if_not(line.begin(), line.end(), is_blank);
        if (first == line.end() || *first == '#') {
            continue;
        }
        line.remove_prefix(std::size_t(first - line.begin()));
        const std::string where = "line " + std::to_string(number) + ": ";
        std::string problem;
        auto account = parse_line(line, problem);
        if (!account) {
            error = where + problem;
            return std::nullopt;
        }
        const bool duplicate =
            std::any_of(entries.begin(), entries.end(),
                        [&](const AccountEntry& e) { return e.settings.name == account->name; });
        if (duplicate) {
            error = where + "account \"" + account->name + "\" is given twice";
            return std::nullopt;
        }
        entries.push_back({std::move(*account), line_offset, length});
    }
    return entries;
}

std::optional<std::vector<AccountSettings>> parse_accounts_text(std::string_view text,
                                                                std::string& error) {
    auto entries = parse_account_entries(text, error);
    if (!entries) {
        return std::nullopt;
    }
    std::vector<AccountSettings> accounts;
    for (auto& entry : *entries) {
        accounts.push_back(std::move(entry.settings));
    }
    return accounts;
}

std::string accounts_file_name_problem(std::string_view name) {
    if (auto problem = account_name_problem(name); !problem.empty()) {
        return problem;
    }
    if (name.find(':') != std::string_view::npos) {
        return "the account name may not hold \":\" in an accounts file";
    }
    if (name.starts_with('#') || is_blank(name.front()) || is_blank(name.back())) {
        return "the account name may not start with \"#\" nor start or end with a blank";
    }
    return {};
}

std::string account_line(const AccountSettings& account) {
    std::string line = account.name + ":" + account.password_hash;
    if (account.download_limit != kDefaultDownloadLimit) {
        line += ":" + std::to_string(account.download_limit);
    }
    return line + "\n";
}

std::optional<AccountsFile> read_accounts_file(const std::filesystem::path& path,
                                               std::string& error) {
    const std::string where = "accounts file " + path.string() + ": ";
    std::string problem;
    auto file = read_small_file(path, problem);
    if (!file) {
        error = where + problem;
        return std::nullopt;
    }
    if ((file->info.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(file->info.st_mode & 07777));
        error = where + "its group or others may read or write it (mode " + mode +
                "); make it private with chmod 600";
        return std::nullopt;
    }
    auto entries = parse_account_entries(file->text, problem);
    if (!entries) {
        error = where + problem;
        return std::nullopt;
    }
    return AccountsFile{std::move(file->text), file->info, std::move(*entries)};
}

std::optional<std::vector<AccountSettings>> load_accounts_file(const std::filesystem::path& path,
                                                               std::string& error) {
    auto file = read_accounts_file(path, error);
    if (!file) {
        return std::nullopt;
    }
    std::vector<AccountSettings> accounts;
    for (auto& entry : file->entries) {
        accounts.push_back(std::move(entry.settings));
    }
    return accounts;
}

}  // namespace stowbox::service
