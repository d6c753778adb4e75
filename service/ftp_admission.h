#pragma once

#include <netinet/in.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "account.h"
#include "service_config.h"
#include "unique_fd.h"

namespace stowbox::service {

// The answer to a connection the server has no room for.
inline constexpr std::string_view kFtpBusyReply = "421 Too many connections, try again later\r\n";

// Shares the FTP server's places out fairly, so that no client can lock the others out:
// - one address holds at most its share of the connections; when the server is full, a
//   newcomer pushes out the oldest connection not logged in of an address holding more;
// - a connection is greeted only in its turn: each address may have a few log-ins under way,
//   the whole server more; further connections from that address wait, so that a crowd of
//   idle ones keeps nobody else from logging in while a burst of prompt clients is queued,
//   not refused;
// - an account holds a bounded number of sessions.
// Safe to use from many threads.
class FtpAdmission {
    struct Entry;

  public:
    explicit FtpAdmission(const ServiceConfig& config);
    FtpAdmission(const FtpAdmission&) = delete;
    FtpAdmission& operator=(const FtpAdmission&) = delete;

    enum class Turn {
        granted,  // greet the client
        busy,     // the server has no room for another log-in: refuse
        gone,     // the client left, was pushed out or the server stops: just close
    };

    // One connection's place, given up when destroyed.
    class Place {
      public:
        Place(Place&& other) noexcept;
        Place& operator=(Place&&) = delete;
        ~Place();

        // Waits until the connection may be greeted, at most until `deadline`.
        Turn await_turn(std::chrono::steady_clock::time_point deadline);
        // The connection logged in to `account`; false when that account already has as many
        // sessions as it may (the place is then unchanged).
        bool log_in(const Account& account);

      private:
        friend class FtpAdmission;
        Place(FtpAdmission* owner, std::list<Entry>::iterator entry)
            : owner_(owner), entry_(entry) {}

        FtpAdmission* owner_;
        std::list<Entry>::iterator entry_;
    };

    struct Admission {
        std::optional<Place> place;
        bool address_full = false;  // without a place: its address, else the whole server
    };
    // A place for the new connection `control` from `address`. Keeps a duplicate of the
    // descriptor, to close the connection should it be pushed out.
    Admission admit(int control, in_addr address);

    // Wakes every waiting connection and admits no more.
    void stop();

  private:
    enum class Stage { waiting, greeted, logged_in };
    struct Entry {
        in_addr_t address = 0;
        UniqueFd control;
        Stage stage = Stage::waiting;
        std::string account;  // the name of the account it logged in to
        bool pushed_out = false;
    };

    // Counts of the connections not pushed out; the caller holds the lock.
    std::size_t held_by(in_addr_t address) const;
    std::size_t live() const;
    std::size_t greeted(std::optional<in_addr_t> address) const;
    // The oldest connection not logged in of the address holding the most connections, if
    // that is more than `address` holds.
    Entry* victim_for(in_addr_t address);
    void push_out(Entry& entry);

    const ServiceConfig& config_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopped_ = false;
    std::list<Entry> entries_;  // oldest first
};

}  // namespace stowbox::service
