// No client can lock the others out: shares per address and per account, and the brake on
// password guessing. Clients come from several loopback addresses (all of 127/8 is local).
#include <gtest/gtest.h>

#include <poll.h>

#include <memory>
#include <thread>

#include "command_line.h"
#include "service_test_kit.h"

namespace testing_support {
namespace {

using namespace stowbox::service;
using Clients = std::vector<std::unique_ptr<FtpClient>>;

constexpr auto kBusy = "421 Too many connections, try again later\r\n";

// How many of `clients` have something to read: waits until at least `expected` do, then a
// moment longer so that one too many would show.
std::size_t Answered(const Clients& clients, std::size_t expected) {
    std::size_t count = 0;
    for (int round = 0; round < 300; ++round) {
        count = 0;
        for (const auto& client : clients) {
            pollfd p{client->ControlFd(), POLLIN, 0};
            count += ::poll(&p, 1, 0) > 0 ? 1 : 0;
        }
        if (count >= expected && round > 0) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(count >= expected ? 200 : 20));
    }
    return count;
}

std::string LimitsRequest(std::uint16_t port, const char* from) {
    Fd connection = ConnectTo(port, from);
    SendText(connection.Get(),
             "POST /qmanager/servlet/DownloadLimits?user=alice&password=secret HTTP/1.0\r\n\r\n");
    return ReadToEnd(connection.Get());
}

TEST(ServiceConnectionLimits, IdleConnectionsOfOneAddressKeepNoOtherAddressOut) {
    TestService service([](ServiceConfig& config) {
        config.max_sessions = 8;
        config.max_pending_logins = 4;
        config.max_connections_per_address = 6;
        config.max_pending_logins_per_address = 2;
    });
    const auto port = service.FtpPort();
    // 127.0.0.2 fills its share with connections that never log in: two are greeted, the
    // others wait for their turn, and one more is turned away.
    Clients idle;
    for (int i = 0; i < 6; ++i) {
        idle.push_back(std::make_unique<FtpClient>(port, "127.0.0.2"));
    }
    EXPECT_EQ(Answered(idle, 2), 2u);
    EXPECT_EQ(FtpClient(port, "127.0.0.2").Reply(),
              "421 Too many connections from your address, try again later\r\n");

    // Another address still logs in, and fills the server.
    FtpClient member(port, "127.0.0.3");
    EXPECT_EQ(CodeOf(member.Reply()), 220);
    EXPECT_EQ(CodeOf(member.Login()), 230);
    FtpClient lingering(port, "127.0.0.3");
    EXPECT_EQ(CodeOf(lingering.Reply()), 220);

    // A newcomer to the full server pushes out the oldest idle connection of the address
    // that holds the most.
    FtpClient newcomer(port, "127.0.0.4");
    EXPECT_EQ(CodeOf(newcomer.Reply()), 220);
    EXPECT_EQ(CodeOf(newcomer.Login("bob", "pw")), 230);
    EXPECT_NE(ReadToEnd(idle.front()->ControlFd()).find(kBusy), std::string::npos);
    EXPECT_EQ(CodeOf(member.Command("NOOP")), 200) << "a session that logged in stays";
}

TEST(ServiceConnectionLimits, AClientThatLeavesWhileWaitingFreesItsPlace) {
    TestService service([](ServiceConfig& config) {
        config.max_connections_per_address = 2;
        config.max_pending_logins_per_address = 1;
    });
    FtpClient greeted(service.FtpPort());
    EXPECT_EQ(CodeOf(greeted.Reply()), 220);
    Fd(ConnectTo(service.FtpPort())).Reset();  // waits for its turn, then leaves
    // Another one is admitted and waits without a word, where one too many hears 421 at once.
    auto admitted = [&] {
        Fd probe = ConnectTo(service.FtpPort());
        pollfd p{probe.Get(), POLLIN, 0};
        return ::poll(&p, 1, 100) == 0;
    };
    // The service notices the leaver within its own poll interval: keep asking for a while.
    bool again = false;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!again && std::chrono::steady_clock::now() < give_up) {
        again = admitted();
        if (!again) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    EXPECT_TRUE(again);
}

TEST(ServiceConnectionLimits, ABurstFromOneAddressWaitsForItsTurnsAndIsServed) {
    TestService service([](ServiceConfig& config) {
        config.max_pending_logins_per_address = 2;
        config.login_timeout = std::chrono::seconds(20);
    });
    constexpr int kSessions = 12;
    std::vector<int> codes(kSessions);
    std::vector<std::thread> threads;
    for (int i = 0; i < kSessions; ++i) {
        threads.emplace_back([&, i] {
            try {
                FtpClient client(service.FtpPort(), "127.0.0.5");
                client.Reply();
                codes[i] = CodeOf(i % 2 == 0 ? client.Login() : client.Login("bob", "pw"));
                client.Command("QUIT");
            } catch (const std::exception&) {
                // turned away: its code stays 0
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(codes, std::vector<int>(kSessions, 230));
}

TEST(ServiceConnectionLimits, AnAccountHoldsOnlyItsShareOfSessions) {
    TestService service;
    const auto port = service.FtpPort();
    const std::size_t share = ServiceConfig{}.max_sessions_per_account;
    Clients alice;
    for (std::size_t i = 0; i < share; ++i) {
        alice.push_back(std::make_unique<FtpClient>(port));
        alice.back()->Reply();
        ASSERT_EQ(CodeOf(alice.back()->Login()), 230);
    }
    FtpClient extra(port);
    extra.Reply();
    EXPECT_EQ(extra.Login(), "530 Too many sessions for this account, try again later\r\n");
    FtpClient bob(port);
    bob.Reply();
    EXPECT_EQ(CodeOf(bob.Login("bob", "pw")), 230);

    // A session that changes account frees its place; so does one that ends, a moment after.
    EXPECT_EQ(CodeOf(alice.front()->Login("bob", "pw")), 230);
    EXPECT_EQ(CodeOf(extra.Login()), 230);
    FtpClient another(port);
    another.Reply();
    EXPECT_EQ(CodeOf(another.Login()), 530);
    alice.back()->Command("QUIT");
    ReadToEnd(alice.back()->ControlFd());
    std::string reply;
    for (int attempt = 0; attempt < 200 && CodeOf(reply) != 230; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        reply = another.Login();
    }
    EXPECT_EQ(CodeOf(reply), 230) << "refusals for a full account are no failed log-ins";
}

TEST(ServiceConnectionLimits, AWrongPasswordIsAnsweredLateWithoutHoldingUpOthers) {
    // Long enough for another session to log in meanwhile, even on a busy machine.
    const auto delay = std::chrono::seconds(1);
    TestService service([&](ServiceConfig& config) { config.failed_login_delay = delay; });
    FtpClient guesser(service.FtpPort());
    guesser.Reply();
    guesser.Command("USER alice");
    const auto sent = std::chrono::steady_clock::now();
    SendText(guesser.ControlFd(), "PASS wrong\r\n");

    FtpClient other(service.FtpPort(), "127.0.0.2");
    other.Reply();
    EXPECT_EQ(CodeOf(other.Login("bob", "pw")), 230);
    pollfd p{guesser.ControlFd(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 0), 0) << "answered before another session logged in";
    EXPECT_EQ(guesser.Reply(), "530 Login incorrect\r\n");
    EXPECT_GE(std::chrono::steady_clock::now() - sent, delay);
}

TEST(ServiceConnectionLimits, TheThirdWrongPasswordEndsTheConnection) {
    TestService service(
        [](ServiceConfig& config) { config.failed_login_delay = std::chrono::milliseconds(50); });
    // Unknown names and PASS without USER count alike.
    FtpClient guesser(service.FtpPort());
    guesser.Reply();
    EXPECT_EQ(CodeOf(guesser.Login("alice", "wrong")), 530);
    EXPECT_EQ(CodeOf(guesser.Login("nobody", "secret")), 530);
    EXPECT_EQ(guesser.Command("PASS secret"), "530 Login incorrect\r\n");
    EXPECT_EQ(guesser.Reply(), "421 Too many failed log-ins, closing the connection\r\n");
    EXPECT_EQ(ReadToEnd(guesser.ControlFd()), "");

    // Two failures leave the right password its chance.
    FtpClient other(service.FtpPort());
    other.Reply();
    EXPECT_EQ(CodeOf(other.Login("alice", "x")), 530);
    EXPECT_EQ(CodeOf(other.Login("alice", "y")), 530);
    EXPECT_EQ(CodeOf(other.Login()), 230);
}

TEST(ServiceConnectionLimits, IdleWebConnectionsOfOneAddressKeepNoOtherAddressOut) {
    TestService service([](ServiceConfig& config) {
        config.max_web_connections = 4;
        config.max_web_connections_per_address = 3;
    });
    const auto port = service.WebPort();
    std::vector<Fd> idle;
    for (int i = 0; i < 3; ++i) {
        idle.push_back(ConnectTo(port, "127.0.0.2"));
    }
    EXPECT_TRUE(LimitsRequest(port, "127.0.0.2").starts_with("HTTP/1.1 503 "));
    const std::string reply = LimitsRequest(port, "127.0.0.3");
    EXPECT_TRUE(reply.starts_with("HTTP/1.1 200 ")) << reply;
    EXPECT_TRUE(reply.ends_with("\r\n\r\n10\n")) << reply;
}

TEST(ServiceConnectionLimits, LimitsAreSetOnTheCommandLine) {
    const std::vector<std::string> base = {"--root", "/tmp/r", "--account", "a:b"};
    auto parse = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), base.begin(), base.end());
        return parse_command_line(extra);
    };
    const auto given =
        parse({"--max-connections-per-address", "5", "--max-pending-logins-per-address=2",
               "--max-sessions-per-account", "3", "--max-web-connections-per-address", "6",
               "--failed-login-delay", "0"});
    ASSERT_TRUE(given.config) << given.error;
    EXPECT_EQ(given.config->max_connections_per_address, 5u);
    EXPECT_EQ(given.config->max_pending_logins_per_address, 2u);
    EXPECT_EQ(given.config->max_sessions_per_account, 3u);
    EXPECT_EQ(given.config->max_web_connections_per_address, 6u);
    EXPECT_EQ(given.config->failed_login_delay, std::chrono::milliseconds(0));
    for (const auto& bad :
         std::vector<std::vector<std::string>>{{"--max-sessions-per-account", "0"},
                                               {"--max-connections-per-address", "x"},
                                               {"--failed-login-delay", "-1"},
                                               {"--failed-login-delay", "60001"},
                                               {"--max-web-connections-per-address"}}) {
        EXPECT_FALSE(parse(bad).config) << bad.front();
    }
}

}  // namespace
}  // namespace testing_support
