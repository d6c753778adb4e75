#include <algorithm>
#include <iostream>
#include <stdexcept>

#include "account.h"
#include "accounts_file_watch.h"
#include "password_hash.h"
#include "private_files.h"

namespace stowbox::service {

namespace {

std::shared_ptr<const Account> make_account(const std::filesystem::path& root,
                                            const AccountSettings& settings) {
    const auto folder = root / "accounts" / settings.name;
    make_private_folders(folder);
    return std::make_shared<const Account>(Account{
        settings.name,
        settings.password_hash.empty() ? hash_password(settings.password) : settings.password_hash,
        settings.download_limit, std::filesystem::canonical(folder)});
}

std::string count_of_accounts(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " account" : " accounts");
}

}  // namespace

AccountBook::AccountBook(const std::filesystem::path& root,
                         const std::vector<AccountSettings>& settings,
                         const std::filesystem::path& accounts_file)
    : root_(root) {
    // Made even with no account yet, so that a fresh root is whole before the service
    // opens anything in it.
    make_private_folders(root_ / "accounts");
    for (const auto& account : settings) {
        given_.push_back(make_account(root_, account));
    }
    if (accounts_file.empty()) {
        accounts_ = given_;
        return;
    }
    watch_ = std::make_unique<AccountsFileWatch>(accounts_file);
    std::string error;
    const auto from_file = watch_->changed(error);
    if (!from_file) {
        throw std::runtime_error(error);
    }
    accounts_ = combine(*from_file);
}

AccountBook::~AccountBook() = default;

AccountBook::Accounts AccountBook::combine(const std::vector<AccountSettings>& from_file) const {
    Accounts combined = given_;
    for (const auto& settings : from_file) {
        const bool given = std::any_of(combined.begin(), combined.end(),
                                       [&](const auto& a) { return a->name == settings.name; });
        if (given) {
            throw std::runtime_error("accounts file " + watch_->path().string() + ": account \"" +
                                     settings.name + "\" is given on the command line too");
        }
        combined.push_back(make_account(root_, settings));
    }
    return combined;
}

void AccountBook::refresh() const {
    if (!watch_) {
        return;
    }
    std::string error;
    try {
        if (const auto from_file = watch_->changed(error)) {
            accounts_ = combine(*from_file);
            std::cerr << "stowbox-service: accounts file " << watch_->path().string()
                      << " read again: " << count_of_accounts(accounts_.size()) << "\n";
            return;
        }
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    if (!error.empty()) {
        std::cerr << "stowbox-service: " << error << "; keeping the "
                  << count_of_accounts(accounts_.size()) << " the service had\n";
    }
}

std::shared_ptr<const Account> AccountBook::find(std::string_view name) const {
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(accounts_.begin(), accounts_.end(),
                                 [&](const auto& a) { return a->name == name; });
    return it == accounts_.end() ? nullptr : *it;
}

std::shared_ptr<const Account> AccountBook::authenticate(std::string_view name,
                                                         std::string_view password) const {
    std::shared_ptr<const Account> account;
    std::string decoy_hash;
    {
        std::lock_guard lock(mutex_);
        refresh();
        const auto it = std::find_if(accounts_.begin(), accounts_.end(),
                                     [&](const auto& a) { return a->name == name; });
        if (it != accounts_.end()) {
            account = *it;
        } else if (!accounts_.empty()) {
            decoy_hash = accounts_.front()->password_hash;
        }
    }
    // Hashing is slow: done outside the lock, so that log-ins do not wait for each other.
    if (account == nullptr) {
        // The same work as for a known name, its answer thrown away.
        if (!decoy_hash.empty()) {
            verify_password(password, decoy_hash);
        }
        return nullptr;
    }
    return verify_password(password, account->password_hash) ? account : nullptr;
}

}  // namespace stowbox::service
