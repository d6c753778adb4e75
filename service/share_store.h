#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

struct sqlite3;

namespace stowbox::service {

struct Share {
    std::string account;
    std::string file;  // virtual path inside the account, resolved again on every download
    int downloads_left = 0;
    std::string password_hash;  // empty: no password
    bool write_allowed = false;
};

// The shares, kept in an SQLite database so that the links already mailed outlive a restart.
// Every change is one statement, and so a transaction of its own. Safe to use from the web
// server's threads.
class ShareStore {
  public:
    // Opens the database at `path`, creating it open to the service's user only when
    // missing. Throws std::runtime_error.
    explicit ShareStore(const std::filesystem::path& path);
    ShareStore(const ShareStore&) = delete;
    ShareStore& operator=(const ShareStore&) = delete;
    ~ShareStore();

    // Keeps the share and returns its new, unguessable token. Throws std::runtime_error.
    std::string add(const Share& share);
    void remove(const std::string& token);
    std::optional<Share> find(const std::string& token) const;

    // One of a share's downloads, held while its bytes are sent so that no other request is
    // granted it meanwhile. Only complete() counts it: a download given up costs nothing.
    class Download {
      public:
        Download(const Download&) = delete;
        Download& operator=(const Download&) = delete;
        ~Download();
        // Counts the download; false when that could not be stored.
        bool complete();

      private:
        friend class ShareStore;
        Download(ShareStore& store, std::string token) : store_(&store), token_(std::move(token)) {}

        ShareStore* store_;  // nullptr once completed
        std::string token_;
    };

    // Holds one of the share's downloads; nullptr when none is left that another download
    // under way does not hold.
    std::unique_ptr<Download> start_download(const std::string& token);

  private:
    void release(const std::string& token);

    mutable std::mutex mutex_;
    sqlite3* database_ = nullptr;
    // Downloads under way per token; only in memory, so that a crash gives them back.
    std::unordered_map<std::string, int> held_;
};

}  // namespace stowbox::service
