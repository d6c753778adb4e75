#include "ftp_admission.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <string_view>
#include <utility>

namespace stowbox::service {

namespace {

// A waiting client that hangs up is noticed within this time, so that its place is freed.
constexpr auto kHangUpCheck = std::chrono::milliseconds(200);

bool hung_up(int fd) {
    pollfd p{fd, POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

}  // namespace

FtpAdmission::FtpAdmission(const ServiceConfig& config) : config_(config) {}

FtpAdmission::Admission FtpAdmission::admit(int control, in_addr address) {
    std::lock_guard lock(mutex_);
    if (stopped_) {
        return {};
    }
    if (held_by(address.s_addr) >= config_.max_connections_per_address) {
        return {std::nullopt, true};
    }
    if (live() >= config_.max_sessions) {
        Entry* victim = victim_for(address.s_addr);
        if (victim == nullptr) {
            return {};
        }
        push_out(*victim);
    }
    UniqueFd duplicate(::fcntl(control, F_DUPFD_CLOEXEC, 0));
    if (!duplicate) {
        return {};
    }
    Entry& entry = entries_.emplace_back();
    entry.address = address.s_addr;
    entry.control = std::move(duplicate);
    return {Place(this, std::prev(entries_.end()))};
}

void FtpAdmission::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
}

std::size_t FtpAdmission::held_by(in_addr_t address) const {
    return std::size_t(std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return !e.pushed_out && e.address == address;
    }));
}

std::size_t FtpAdmission::live() const {
    return std::size_t(std::count_if(entries_.begin(), entries_.end(),
                                     [](const Entry& e) { return !e.pushed_out; }));
}

std::size_t FtpAdmission::greeted(std::optional<in_addr_t> address) const {
    return std::size_t(std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return !e.pushed_out && e.stage == Stage::greeted && (!address || e.address == *address);
    }));
}

FtpAdmission::Entry* FtpAdmission::victim_for(in_addr_t address) {
    Entry* victim = nullptr;
    std::size_t most = held_by(address);
    for (auto& entry : entries_) {
        if (entry.pushed_out || entry.stage == Stage::logged_in) {
            continue;
        }
        // Only a strictly larger count takes over, so the oldest of that address stays chosen.
        if (const auto held = held_by(entry.address); held > most) {
            most = held;
            victim = &entry;
        }
    }
    return victim;
}

void FtpAdmission::push_out(Entry& entry) {
    entry.pushed_out = true;
    // Through the duplicate: the session may be closing its own descriptor right now, and a
    // number closed there could already name another connection.
    [[maybe_unused]] auto sent = ::send(entry.control.get(), kFtpBusyReply.data(),
                                        kFtpBusyReply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(entry.control.get(), SHUT_RDWR);
    changed_.notify_all();
}

FtpAdmission::Place::Place(Place&& other) noexcept
    : owner_(std::exchange(other.owner_, nullptr)), entry_(other.entry_) {}

FtpAdmission::Place::~Place() {
    if (owner_ != nullptr) {
        std::lock_guard lock(owner_->mutex_);
        owner_->entries_.erase(entry_);
        owner_->changed_.notify_all();
    }
}

FtpAdmission::Turn FtpAdmission::Place::await_turn(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(owner_->mutex_);
    const auto& config = owner_->config_;
    for (;;) {
        if (entry_->pushed_out || owner_->stopped_) {
            return Turn::gone;
        }
        if (owner_->greeted(std::nullopt) >= config.max_pending_logins) {
            return Turn::busy;
        }
        if (owner_->greeted(entry_->address) < config.max_pending_logins_per_address) {
            entry_->stage = Stage::greeted;
            return Turn::granted;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return Turn::busy;
        }
        if (hung_up(entry_->control.get())) {
            return Turn::gone;
        }
        owner_->changed_.wait_until(lock, std::min(deadline, now + kHangUpCheck));
    }
}

bool FtpAdmission::Place::log_in(const Account& account) {
    std::lock_guard lock(owner_->mutex_);
    if (entry_->pushed_out) {
        return false;
    }
    const auto& entries = owner_->entries_;
    const auto sessions = std::count_if(entries.begin(), entries.end(), [&](const Entry& e) {
        return !e.pushed_out && e.account == account.name && &e != &*entry_;
    });
    if (std::size_t(sessions) >= owner_->config_.max_sessions_per_account) {
        return false;
    }
    entry_->account = account.name;
    entry_->stage = Stage::logged_in;
    owner_->changed_.notify_all();
    return true;
}

}  // namespace stowbox::service
