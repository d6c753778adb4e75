#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

namespace stowbox::service {

struct Share {
    std::string account;
    std::string file;  // virtual path inside the account, resolved again on every download
    int downloads_left = 0;
    std::string password;  // empty: no password
    bool write_allowed = false;
};

enum class ShareAccess { granted, unknown, wrong_password, used_up };

// The shares made since the service started; safe to use from the web server's threads.
class ShareStore {
  public:
    // Keeps the share and returns its new, unguessable token.
    std::string add(Share share);
    void remove(const std::string& token);

    // Whether a download with `password` may go ahead; fills `share` when granted. Counts
    // nothing, so that a download that then fails to start costs nothing.
    ShareAccess check(const std::string& token, const std::string& password, Share& share) const;
    // Counts one download; false when another request took the last one meanwhile.
    bool take_download(const std::string& token);

  private:
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Share> shares_;
};

}  // namespace stowbox::service
