#include "accounts_file_watch.h"

#include <cerrno>

#include "accounts_file.h"

namespace stowbox::service {

bool AccountsFileWatch::Stamp::operator==(const Stamp& other) const {
    const auto same_time = [](const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return error == other.error && device == other.device && inode == other.inode &&
           size == other.size && mode == other.mode && same_time(modified, other.modified) &&
           same_time(changed, other.changed);
}

AccountsFileWatch::Stamp AccountsFileWatch::stamp_of(const struct stat& info) {
    return {0, info.st_dev, info.st_ino, info.st_size, info.st_mode, info.st_mtim, info.st_ctim};
}

AccountsFileWatch::Stamp AccountsFileWatch::current_stamp() const {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) {
        Stamp failed;
        failed.error = errno;
        return failed;
    }
    return stamp_of(info);
}

std::optional<std::vector<AccountSettings>> AccountsFileWatch::changed(std::string& error) {
    error.clear();
    const Stamp now = current_stamp();
    if (seen_ && *seen_ == now) {
        return std::nullopt;
    }
    seen_ = now;
    auto file = read_accounts_file(path_, error);
    if (!file) {
        return std::nullopt;
    }
    // The file read may be newer than the one looked at; remember the one read.
    seen_ = stamp_of(file->info);
    std::vector<AccountSettings> accounts;
    for (auto& entry : file->entries) {
        accounts.push_back(std::move(entry.settings));
    }
    return accounts;
}

}  // namespace stowbox::service
