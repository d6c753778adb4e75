#include "share_store.h"

#include <array>
#include <cstdio>
#include <random>

namespace stowbox::service {

namespace {

std::string new_token() {
    std::random_device random;
    std::string token;
    for (int i = 0; i < 4; ++i) {
        std::array<char, 9> hex{};
        std::snprintf(hex.data(), hex.size(), "%08x", unsigned(random()));
        token += hex.data();
    }
    return token;
}

}  // namespace

std::string ShareStore::add(Share share) {
    std::lock_guard lock(mutex_);
    for (;;) {
        std::string token = new_token();
        if (shares_.try_emplace(token, share).second) {
            return token;
        }
    }
}

void ShareStore::remove(const std::string& token) {
    std::lock_guard lock(mutex_);
    shares_.erase(token);
}

ShareAccess ShareStore::check(const std::string& token, const std::string& password,
                              Share& share) const {
    std::lock_guard lock(mutex_);
    const auto it = shares_.find(token);
    if (it == shares_.end()) {
        return ShareAccess::unknown;
    }
    if (!it->second.password.empty() && it->second.password != password) {
        return ShareAccess::wrong_password;
    }
    if (it->second.downloads_left <= 0) {
        return ShareAccess::used_up;
    }
    share = it->second;
    return ShareAccess::granted;
}

bool ShareStore::take_download(const std::string& token) {
    std::lock_guard lock(mutex_);
    const auto it = shares_.find(token);
    if (it == shares_.end() || it->second.downloads_left <= 0) {
        return false;
    }
    --it->second.downloads_left;
    return true;
}

}  // namespace stowbox::service
