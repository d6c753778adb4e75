#include "share_store.h"

#include <fcntl.h>
#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <random>
#include <stdexcept>

#include "private_files.h"
#include "unique_fd.h"

namespace stowbox::service {

namespace {

// How long a change waits for another process that holds the database, say an
// administrator's sqlite3 shell.
constexpr int kBusyTimeoutMs = 5000;

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

[[noreturn]] void fail(sqlite3* database, const std::string& what) {
    throw std::runtime_error("share database: " + what + ": " + ::sqlite3_errmsg(database));
}

// One prepared statement, finalized when it goes.
class Statement {
  public:
    Statement(sqlite3* database, const char* sql) : database_(database) {
        if (::sqlite3_prepare_v2(database, sql, -1, &statement_, nullptr) != SQLITE_OK) {
            fail(database, "cannot prepare a statement");
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { ::sqlite3_finalize(statement_); }

    Statement& bind(int index, const std::string& text) {
        check(::sqlite3_bind_text(statement_, index, text.data(), int(text.size()),
                                  SQLITE_TRANSIENT));
        return *this;
    }
    Statement& bind(int index, long long number) {
        check(::sqlite3_bind_int64(statement_, index, number));
        return *this;
    }
    // True while a row comes back, false once the statement is done.
    bool step() {
        const int result = ::sqlite3_step(statement_);
        if (result != SQLITE_ROW && result != SQLITE_DONE) {
            fail(database_, "a statement failed");
        }
        return result == SQLITE_ROW;
    }
    std::string text(int column) const {
        const auto* bytes = ::sqlite3_column_text(statement_, column);
        return bytes == nullptr
                   ? std::string()
                   : std::string(reinterpret_cast<const char*>(bytes),
                                 std::size_t(::sqlite3_column_bytes(statement_, column)));
    }
    long long number(int column) const { return ::sqlite3_column_int64(statement_, column); }

  private:
    void check(int result) const {
        if (result != SQLITE_OK) {
            fail(database_, "cannot bind a value");
        }
    }

    sqlite3* database_;
    sqlite3_stmt* statement_ = nullptr;
};

void execute(sqlite3* database, const char* sql) {
    if (::sqlite3_exec(database, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(database, sql);
    }
}

}  // namespace

ShareStore::ShareStore(const std::filesystem::path& path) {
    // The tokens are the links' only key and the hashes can be attacked offline: SQLite gives
    // its journal files the database's own mode, so creating it private keeps all private.
    const UniqueFd file(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kPrivateFileMode));
    if (!file) {
        throw std::runtime_error("share database " + path.string() + ": " + std::strerror(errno));
    }
    const int opened = ::sqlite3_open_v2(path.c_str(), &database_,
                                         SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (opened != SQLITE_OK) {
            fail(database_, "cannot open " + path.string());
        }
        ::sqlite3_busy_timeout(database_, kBusyTimeoutMs);
        // WAL lets a reader go on while a change commits; FULL syncs every commit, so that a
        // download counted stays counted even when the machine loses power.
        Statement journal(database_, "PRAGMA journal_mode = WAL");
        if (!journal.step() || journal.text(0) != "wal") {
            throw std::runtime_error("share database " + path.string() +
                                     ": cannot use write-ahead logging");
        }
        execute(database_, "PRAGMA synchronous = FULL");
        execute(database_,
                "CREATE TABLE IF NOT EXISTS shares ("
                " token TEXT PRIMARY KEY NOT NULL,"
                " account TEXT NOT NULL,"
                " file TEXT NOT NULL,"
                " downloads_left INTEGER NOT NULL,"
                " password_hash TEXT NOT NULL,"
                " write_allowed INTEGER NOT NULL,"
                " created INTEGER NOT NULL)");
    } catch (...) {
        ::sqlite3_close_v2(database_);
        throw;
    }
}

ShareStore::~ShareStore() {
    ::sqlite3_close_v2(database_);
}

std::string ShareStore::add(const Share& share) {
    std::lock_guard lock(mutex_);
    for (;;) {
        std::string token = new_token();
        Statement insert(database_,
                         "INSERT OR IGNORE INTO shares (token, account, file, downloads_left,"
                         " password_hash, write_allowed, created) VALUES (?, ?, ?, ?, ?, ?, ?)");
        insert.bind(1, token)
            .bind(2, share.account)
            .bind(3, share.file)
            .bind(4, share.downloads_left)
            .bind(5, share.password_hash)
            .bind(6, share.write_allowed ? 1 : 0)
            .bind(7, static_cast<long long>(std::time(nullptr)))
            .step();
        if (::sqlite3_changes(database_) == 1) {
            return token;
        }
    }
}

void ShareStore::remove(const std::string& token) {
    std::lock_guard lock(mutex_);
    Statement(database_, "DELETE FROM shares WHERE token = ?").bind(1, token).step();
}

std::optional<Share> ShareStore::find(const std::string& token) const {
    std::lock_guard lock(mutex_);
    Statement select(database_,
                     "SELECT account, file, downloads_left, password_hash, write_allowed"
                     " FROM shares WHERE token = ?");
    if (!select.bind(1, token).step()) {
        return std::nullopt;
    }
    return Share{select.text(0), select.text(1), int(select.number(2)), select.text(3),
                 select.number(4) != 0};
}

std::unique_ptr<ShareStore::Download> ShareStore::start_download(const std::string& token) {
    std::lock_guard lock(mutex_);
    Statement select(database_, "SELECT downloads_left FROM shares WHERE token = ?");
    const long long left = select.bind(1, token).step() ? select.number(0) : 0;
    int& held = held_[token];
    if (left - held <= 0) {
        if (held == 0) {
            held_.erase(token);
        }
        return nullptr;
    }
    ++held;
    return std::unique_ptr<Download>(new Download(*this, token));
}

void ShareStore::release(const std::string& token) {
    const auto it = held_.find(token);
    if (it != held_.end() && --it->second <= 0) {
        held_.erase(it);
    }
}

ShareStore::Download::~Download() {
    if (store_ != nullptr) {
        std::lock_guard lock(store_->mutex_);
        store_->release(token_);
    }
}

bool ShareStore::Download::complete() {
    if (store_ == nullptr) {
        return false;
    }
    std::lock_guard lock(store_->mutex_);
    store_->release(token_);
    ShareStore* store = std::exchange(store_, nullptr);
    try {
        Statement(store->database_,
                  "UPDATE shares SET downloads_left = downloads_left - 1"
                  " WHERE token = ? AND downloads_left > 0")
            .bind(1, token_)
            .step();
        return ::sqlite3_changes(store->database_) == 1;
    } catch (const std::exception& error) {
        std::cerr << "stowbox-service: a download could not be counted: " << error.what() << '\n';
        return false;
    }
}

}  // namespace stowbox::service
