#include "account.h"

#include <algorithm>

namespace stowbox::service {

namespace {

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<int> parse_download_limit(std::string_view digits) {
    if (!all_digits(digits) || digits.size() > 3 || std::stoi(std::string(digits)) < 1) {
        return std::nullopt;
    }
    return std::stoi(std::string(digits));
}

std::string account_name_problem(std::string_view name) {
    if (name.empty()) {
        return "the account name is empty";
    }
    if (name == "." || name == "..") {
        return "the account name may not be \".\" or \"..\"";
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || byte < 0x20 || byte == 0x7f) {
            return "the account name may not hold \"/\" or control characters";
        }
    }
    return {};
}

std::optional<AccountSettings> parse_account_option(std::string_view text, std::string& error) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        error = "account \"" + std::string(text) + "\" is not NAME:PASSWORD[:LIMIT]";
        return std::nullopt;
    }
    AccountSettings account;
    account.name = std::string(text.substr(0, colon));
    std::string_view rest = text.substr(colon + 1);
    if (const auto last = rest.rfind(':');
        last != std::string_view::npos && all_digits(rest.substr(last + 1))) {
        const auto limit = parse_download_limit(rest.substr(last + 1));
        if (!limit) {
            error = "download limit of account \"" + account.name + "\" must be 1 to " +
                    std::to_string(kMaxDownloadLimit);
            return std::nullopt;
        }
        account.download_limit = *limit;
        rest = rest.substr(0, last);
    }
    account.password = std::string(rest);
    if (auto problem = account_name_problem(account.name); !problem.empty()) {
        error = problem;
        return std::nullopt;
    }
    if (account.password.empty()) {
        error = "account \"" + account.name + "\" has an empty password";
        return std::nullopt;
    }
    return account;
}

}  // namespace stowbox::service
