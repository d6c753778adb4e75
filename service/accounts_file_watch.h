#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "account.h"

namespace stowbox::service {

// Notices when an accounts file has changed: replaced, rewritten, removed or its mode
// changed.
class AccountsFileWatch {
  public:
    explicit AccountsFileWatch(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& path() const { return path_; }

    // The file's accounts when it has changed since the last call (the first call counts as
    // a change) and can be used. Nullopt otherwise: with `error` empty when it has not
    // changed, else saying why it cannot be used, once for each change.
    std::optional<std::vector<AccountSettings>> changed(std::string& error);

  private:
    struct Stamp {
        int error = 0;  // errno of a file that cannot be looked at
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        mode_t mode = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const Stamp& other) const;
    };
    static Stamp stamp_of(const struct stat& info);
    Stamp current_stamp() const;

    std::filesystem::path path_;
    std::optional<Stamp> seen_;
};

}  // namespace stowbox::service
