#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stowbox::service {

class AccountsFileWatch;

inline constexpr int kDefaultDownloadLimit = 10;
// The client builds its choice list for at most this many downloads.
inline constexpr int kMaxDownloadLimit = 999;

struct AccountSettings {
    std::string name;
    std::string password;  // given in clear on the command line, hashed on start
    int download_limit = kDefaultDownloadLimit;
    std::string password_hash{};  // from an accounts file; used instead of `password` when set
};

// The download limit written as 1 to kMaxDownloadLimit in decimal digits, else nullopt.
std::optional<int> parse_download_limit(std::string_view digits);

// Parses "NAME:PASSWORD[:LIMIT]". The name ends at the first ":"; a last ":"-separated part
// made only of digits is the limit, so a password may hold ":" unless it ends in ":digits".
// Returns nullopt and fills `error` when the text is not usable.
std::optional<AccountSettings> parse_account_option(std::string_view text, std::string& error);

// Empty when `name` can serve as a folder name and a LIST owner, else the reason.
std::string account_name_problem(std::string_view name);

struct Account {
    std::string name;
    std::string password_hash;  // as crypt(3) makes it
    int download_limit = kDefaultDownloadLimit;
    std::string home;  // canonical host path of the account's folder
};

// The accounts of a running service: those given directly, and those of an accounts file,
// which is read again at a log-in when it has changed. Sessions share the book freely; an
// account a session logged in to lives on for that session when the file drops it.
class AccountBook {
  public:
    // Creates `root`/accounts and each account's folder in it when missing and hashes the
    // passwords given in clear; reads `accounts_file` unless it is empty. Throws
    // std::filesystem::filesystem_error or std::runtime_error.
    AccountBook(const std::filesystem::path& root, const std::vector<AccountSettings>& settings,
                const std::filesystem::path& accounts_file = {});
    AccountBook(const AccountBook&) = delete;
    AccountBook& operator=(const AccountBook&) = delete;
    ~AccountBook();

    std::shared_ptr<const Account> find(std::string_view name) const;
    // Takes as long for an unknown name as for a known one, so that timing does not tell
    // which accounts exist.
    std::shared_ptr<const Account> authenticate(std::string_view name,
                                                std::string_view password) const;

  private:
    using Accounts = std::vector<std::shared_ptr<const Account>>;
    // Takes in the accounts file when it has changed since it was last looked at; when it
    // cannot be used, says why on standard error and keeps the accounts there are.
    void refresh() const;
    // The given accounts and those of `from_file`, their folders made. Throws like the
    // constructor.
    Accounts combine(const std::vector<AccountSettings>& from_file) const;

    std::filesystem::path root_;
    Accounts given_;
    std::unique_ptr<AccountsFileWatch> watch_;  // none without an accounts file
    mutable std::mutex mutex_;
    mutable Accounts accounts_;
};

}  // namespace stowbox::service
