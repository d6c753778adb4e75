#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace stowbox::service {

struct GuessBrakeSettings {
    // Wrong passwords under one key before its tries are refused.
    std::size_t free_failures = 3;
    // How long the first refusal lasts; each further failure doubles it, up to the longest.
    std::chrono::milliseconds first_pause = std::chrono::seconds(1);
    std::chrono::milliseconds longest_pause = std::chrono::hours(1);
    // A key with no failure for this long after its refusal ended starts afresh.
    std::chrono::milliseconds forget_after = std::chrono::hours(24);
    // Keys remembered at most; when full, the one quiet longest is forgotten first.
    std::size_t capacity = 10000;
};

// Slows down password guessing. Each try is made under two keys, the client's (its address)
// and the target's (an account, a share link): after a few wrong passwords under either,
// tries under it are refused for a pause that doubles with each further failure. A right
// password clears the target's failures, not the client's, so that a client cannot wipe its
// record by logging in to an account of its own. Safe to use from many threads.
class GuessBrake {
  public:
    using Clock = std::chrono::steady_clock;

    explicit GuessBrake(GuessBrakeSettings settings);
    GuessBrake(const GuessBrake&) = delete;
    GuessBrake& operator=(const GuessBrake&) = delete;

    // One try, admitted or refused. An admitted try ends with failed() or succeeded(); one
    // that ends with neither counts as neither.
    class Try {
      public:
        Try(Try&& other) noexcept;
        Try& operator=(Try&&) = delete;
        ~Try();

        bool admitted() const { return brake_ != nullptr; }
        // How long tries stay refused; zero when admitted.
        Clock::duration refused_for() const { return refused_for_; }

        void failed(Clock::time_point now = Clock::now());
        void succeeded();

      private:
        friend class GuessBrake;
        Try(GuessBrake* brake, std::string client, std::string target, Clock::duration wait);

        GuessBrake* brake_;
        std::string client_;
        std::string target_;
        Clock::duration refused_for_;
    };

    // Admits a try unless either key is refused now. While tries under the same key are still
    // being checked, waits for them when they may use up its free failures, so that a crowd
    // of parallel tries cannot slip past the count.
    Try begin(const std::string& client, const std::string& target,
              Clock::time_point now = Clock::now());

    // How many keys are remembered.
    std::size_t size() const;

  private:
    struct Entry {
        std::size_t failures = 0;
        std::size_t checking = 0;  // admitted tries not ended yet
        Clock::time_point last_failure{};
        Clock::time_point refused_until{};
    };

    // Drops `key` when it has been quiet long enough; the time its tries stay refused.
    Clock::duration refusal(const std::string& key, Clock::time_point now);
    bool may_check_another(const std::string& key) const;
    Entry& entry(const std::string& key);
    void end_try(const std::string& key, bool clear);
    void record_failure(const std::string& key, Clock::time_point now);

    const GuessBrakeSettings settings_;
    mutable std::mutex mutex_;
    std::condition_variable tries_ended_;
    std::unordered_map<std::string, Entry> entries_;
};

}  // namespace stowbox::service
