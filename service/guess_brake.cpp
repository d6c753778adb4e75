#include "guess_brake.h"

#include <algorithm>
#include <utility>

namespace stowbox::service {

GuessBrake::GuessBrake(GuessBrakeSettings settings) : settings_(settings) {}

GuessBrake::Try::Try(GuessBrake* brake, std::string client, std::string target,
                     Clock::duration wait)
    : brake_(brake), client_(std::move(client)), target_(std::move(target)), refused_for_(wait) {}

GuessBrake::Try::Try(Try&& other) noexcept
    : brake_(std::exchange(other.brake_, nullptr)),
      client_(std::move(other.client_)),
      target_(std::move(other.target_)),
      refused_for_(other.refused_for_) {}

GuessBrake::Try::~Try() {
    if (brake_ != nullptr) {
        std::lock_guard lock(brake_->mutex_);
        brake_->end_try(client_, false);
        brake_->end_try(target_, false);
        brake_->tries_ended_.notify_all();
    }
}

void GuessBrake::Try::failed(Clock::time_point now) {
    if (brake_ == nullptr) {
        return;
    }
    {
        std::lock_guard lock(brake_->mutex_);
        brake_->record_failure(client_, now);
        brake_->record_failure(target_, now);
        brake_->end_try(client_, false);
        brake_->end_try(target_, false);
    }
    brake_->tries_ended_.notify_all();
    brake_ = nullptr;
}

void GuessBrake::Try::succeeded() {
    if (brake_ == nullptr) {
        return;
    }
    {
        std::lock_guard lock(brake_->mutex_);
        brake_->end_try(client_, false);
        brake_->end_try(target_, true);
    }
    brake_->tries_ended_.notify_all();
    brake_ = nullptr;
}

GuessBrake::Try GuessBrake::begin(const std::string& client, const std::string& target,
                                  Clock::time_point now) {
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto wait = std::max(refusal(client, now), refusal(target, now));
        if (wait > Clock::duration::zero()) {
            return Try(nullptr, client, target, wait);
        }
        if (may_check_another(client) && may_check_another(target)) {
            ++entry(client).checking;
            ++entry(target).checking;
            return Try(this, client, target, Clock::duration::zero());
        }
        tries_ended_.wait(lock);
        now = std::max(now, Clock::now());
    }
}

std::size_t GuessBrake::size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

GuessBrake::Clock::duration GuessBrake::refusal(const std::string& key, Clock::time_point now) {
    const auto it = entries_.find(key);
    if (it == entries_.end()) {
        return Clock::duration::zero();
    }
    const Entry& found = it->second;
    if (found.checking == 0 &&
        now >= std::max(found.refused_until, found.last_failure) + settings_.forget_after) {
        entries_.erase(it);
        return Clock::duration::zero();
    }
    return std::max(found.refused_until - now, Clock::duration::zero());
}

bool GuessBrake::may_check_another(const std::string& key) const {
    const auto it = entries_.find(key);
    return it == entries_.end() || it->second.checking == 0 ||
           it->second.failures + it->second.checking < settings_.free_failures;
}

GuessBrake::Entry& GuessBrake::entry(const std::string& key) {
    if (const auto it = entries_.find(key); it != entries_.end()) {
        return it->second;
    }
    if (entries_.size() >= settings_.capacity) {
        // Forget the key quiet longest; one being checked is still needed.
        auto oldest = entries_.end();
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->second.checking == 0 &&
                (oldest == entries_.end() ||
                 it->second.last_failure < oldest->second.last_failure)) {
                oldest = it;
            }
        }
        if (oldest != entries_.end()) {
            entries_.erase(oldest);
        }
    }
    return entries_[key];
}

void GuessBrake::end_try(const std::string& key, bool clear) {
    const auto it = entries_.find(key);
    if (it == entries_.end()) {
        return;
    }
    Entry& found = it->second;
    found.checking -= std::min<std::size_t>(found.checking, 1);
    if (clear) {
        found.failures = 0;
        found.refused_until = {};
    }
    if (found.checking == 0 && found.failures == 0) {
        entries_.erase(it);
    }
}

void GuessBrake::record_failure(const std::string& key, Clock::time_point now) {
    Entry& found = entry(key);
    ++found.failures;
    found.last_failure = now;
    if (found.failures >= settings_.free_failures) {
        auto pause = settings_.first_pause;
        for (auto n = found.failures - settings_.free_failures;
             n > 0 && pause < settings_.longest_pause; --n) {
            pause *= 2;
        }
        found.refused_until = now + std::min(pause, settings_.longest_pause);
    }
}

}  // namespace stowbox::service
