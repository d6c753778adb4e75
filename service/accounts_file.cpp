#include "accounts_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "password_hash.h"
#include "unique_fd.h"

namespace stowbox::service {

namespace {

// More than any real list of accounts; keeps a wrong path (a device, a huge log) from
// being read whole.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

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

std::optional<std::vector<AccountSettings>> parse_accounts_text(std::string_view text,
                                                                std::string& error) {
    std::vector<AccountSettings> accounts;
    int number = 0;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
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
            std::any_of(accounts.begin(), accounts.end(),
                        [&](const AccountSettings& a) { return a.name == account->name; });
        if (duplicate) {
            error = where + "account \"" + account->name + "\" is given twice";
            return std::nullopt;
        }
        accounts.push_back(std::move(*account));
    }
    return accounts;
}

std::optional<std::vector<AccountSettings>> load_accounts_file(const std::filesystem::path& path,
                                                               std::string& error) {
    const std::string where = "accounts file " + path.string() + ": ";
    // Checked on the open file, so that the file read is the file checked.
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (!file || ::fstat(file.get(), &info) != 0) {
        error = where + std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode) || info.st_size > kMaxFileSize) {
        error = where + "not a regular file of at most 16 MiB";
        return std::nullopt;
    }
    if ((info.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(info.st_mode & 07777));
        error = where + "its group or others may read or write it (mode " + mode +
                "); make it private with chmod 600";
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = where + std::strerror(errno);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        text.append(buffer, std::size_t(got));
        if (text.size() > std::size_t(kMaxFileSize)) {
            error = where + "not a regular file of at most 16 MiB";
            return std::nullopt;
        }
    }
    auto accounts = parse_accounts_text(text, error);
    if (!accounts) {
        error = where + error;
    }
    return accounts;
}

}  // namespace stowbox::service
