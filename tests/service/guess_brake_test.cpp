// Brakes on guessing passwords over the web: the brake itself, then through the servlets.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "guess_brake.h"
#include "service_test_kit.h"
#include "web_test_client.h"

namespace testing_support {
namespace {

using namespace stowbox::service;
using namespace std::chrono_literals;

GuessBrakeSettings Settings(std::size_t capacity = 100) {
    GuessBrakeSettings settings;
    settings.free_failures = 3;
    settings.first_pause = 1s;
    settings.longest_pause = 4s;
    settings.forget_after = 60s;
    settings.capacity = capacity;
    return settings;
}

TEST(ServiceGuessBrake, RefusesForDoublingPausesUnderEitherKey) {
    GuessBrake brake(Settings());
    const auto t0 = GuessBrake::Clock::now();
    for (int i = 0; i < 3; ++i) {
        auto attempt = brake.begin("client a", "share 1", t0);
        ASSERT_TRUE(attempt.admitted()) << i;
        attempt.failed(t0);
    }
    // Each pause starts at the failure that earns it: 1 s, 2 s, 4 s, then 4 s at most.
    auto when = t0;
    for (const auto pause : {1s, 2s, 4s, 4s}) {
        const auto refused = brake.begin("client a", "share 1", when);
        EXPECT_FALSE(refused.admitted());
        EXPECT_EQ(refused.refused_for(), pause);
        when += pause;
        auto attempt = brake.begin("client a", "share 1", when);
        ASSERT_TRUE(attempt.admitted());
        attempt.failed(when);
    }
    EXPECT_FALSE(brake.begin("client b", "share 1", when).admitted()) << "the link is braked";
    EXPECT_FALSE(brake.begin("client a", "share 2", when).admitted()) << "the client is braked";
    EXPECT_TRUE(brake.begin("client b", "share 2", when).admitted());
    EXPECT_TRUE(brake.begin("client a", "share 1", when + 4s + 60s).admitted()) << "forgotten";
}

TEST(ServiceGuessBrake, ARightPasswordClearsTheTargetNotTheClient) {
    GuessBrake brake(Settings());
    const auto now = GuessBrake::Clock::now();
    brake.begin("client a", "account alice", now).failed(now);
    brake.begin("client b", "account alice", now).failed(now);
    brake.begin("client a", "account mallory", now).failed(now);
    brake.begin("client a", "account mallory", now).succeeded();
    brake.begin("client a", "account alice", now).failed(now);
    EXPECT_FALSE(brake.begin("client a", "account bob", now).admitted());
    EXPECT_TRUE(brake.begin("client c", "account mallory", now).admitted());
    brake.begin("client c", "account alice", now).failed(now);
    EXPECT_FALSE(brake.begin("client d", "account alice", now).admitted());
}

TEST(ServiceGuessBrake, KeepsABoundedNumberOfKeys) {
    GuessBrake brake(Settings(50));
    const auto now = GuessBrake::Clock::now();
    for (int i = 0; i < 1000; ++i) {
        brake.begin("client " + std::to_string(i), "share " + std::to_string(i), now).failed(now);
    }
    EXPECT_LE(brake.size(), 50u);
}

TEST(ServiceGuessBrake, ParallelTriesCannotSlipPastTheCount) {
    GuessBrakeSettings settings = Settings();
    settings.first_pause = settings.longest_pause = 1h;
    GuessBrake brake(settings);
    std::atomic<int> admitted{0};
    std::vector<std::thread> tries;
    for (int i = 0; i < 12; ++i) {
        tries.emplace_back([&] {
            auto attempt = brake.begin("client a", "share 1");
            if (attempt.admitted()) {
                ++admitted;
                std::this_thread::sleep_for(20ms);  // checking the password
                attempt.failed();
            }
        });
    }
    for (auto& thread : tries) {
        thread.join();
    }
    EXPECT_EQ(admitted, 3);
}

TEST(ServiceWebBrakes, WrongPasswordsAreRefusedPerAddressAndPerTarget) {
    // Pauses far longer than the test, so that every refusal below holds.
    TestService service([](ServiceConfig& config) { config.web_guess_pause = 10min; });
    WriteHostFile(service.Home() / "f.bin", "shared");
    const auto outbox = service.Root() / "outbox";
    const std::string first = MakeShare(service.WebPort(), outbox, "f.bin", 5, "open");
    const std::string second = MakeShare(service.WebPort(), outbox, "f.bin", 5, "open");
    const auto get = [&](const std::string& target, const char* from) {
        return WebRequest(service.WebPort(), target, from).status;
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(get(first + "?password=guess" + std::to_string(i), "127.0.0.1"), 403);
    }
    const auto refused = WebRequest(service.WebPort(), first + "?password=open", "127.0.0.1");
    EXPECT_EQ(refused.status, 429);
    EXPECT_NE(refused.head.find("Retry-After: 600"), std::string::npos) << refused.head;
    EXPECT_EQ(get(second + "?password=open", "127.0.0.1"), 429) << "the address is braked";
    EXPECT_EQ(get(first + "?password=open", "127.0.0.2"), 429) << "the link is braked";
    EXPECT_EQ(get(second + "?password=open", "127.0.0.2"), 200);

    const auto limits = [&](const std::string& user, const std::string& password,
                            const char* from) {
        return WebRequest(service.WebPort(),
                          "/qmanager/servlet/DownloadLimits?user=" + user + "&password=" + password,
                          from, "POST");
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(limits("alice", "guess", "127.0.0.3").status, 403);
    }
    EXPECT_EQ(limits("alice", "secret", "127.0.0.3").status, 429);
    EXPECT_EQ(limits("bob", "pw", "127.0.0.3").status, 429) << "the address is braked";
    EXPECT_EQ(limits("alice", "secret", "127.0.0.4").status, 429) << "the account is braked";
    EXPECT_EQ(limits("bob", "pw", "127.0.0.4").body, "3\n");
}

}  // namespace
}  // namespace testing_support
