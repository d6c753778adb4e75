// Nothing leaves the account's folder, and no client can wear the server down.
#include <gtest/gtest.h>

#include <deque>
#include <thread>

#include "service_test_kit.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

class ServiceFtpSafety : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CodeOf(client.Reply()), 220);
        ASSERT_EQ(CodeOf(client.Login()), 230);
    }
    int code(const std::string& line) { return CodeOf(client.Command(line)); }

    TestService service;
    FtpClient client{service.FtpPort()};
};

TEST_F(ServiceFtpSafety, RefusesPathsThatClimbOut) {
    WriteHostFile(service.Home("bob") / "bobs.txt", "private");
    std::string data;
    EXPECT_EQ(code("CWD ../.."), 550);
    EXPECT_EQ(code("CWD /../bob"), 550);
    EXPECT_EQ(code("CWD /etc"), 550) << "host paths mean nothing here";
    EXPECT_EQ(CodeOf(client.Retrieve("../../etc/passwd", data)), 550);
    EXPECT_EQ(CodeOf(client.Retrieve("/etc/passwd", data)), 550);
    EXPECT_EQ(code("SIZE ../bob/bobs.txt"), 550);
    EXPECT_EQ(code("DELE ../bob/bobs.txt"), 550);
    EXPECT_EQ(code("MKD ../escaped"), 550);
    EXPECT_EQ(CodeOf(client.Store("../escaped.txt", "x")), 550);
    EXPECT_EQ(CodeOf(client.List(data, "LIST ../..")), 550);
    WriteHostFile(service.Home() / "mine.txt", "x");
    EXPECT_EQ(code("RNFR mine.txt"), 350);
    EXPECT_EQ(code("RNTO ../bob/mine.txt"), 553);
    EXPECT_EQ(code("RETR " + std::string("mine.txt\0/../x", 14)), 550);

    EXPECT_EQ(ReadHostFile(service.Home("bob") / "bobs.txt"), "private");
    EXPECT_FALSE(std::filesystem::exists(service.Root() / "accounts" / "escaped"));
    EXPECT_FALSE(std::filesystem::exists(service.Root() / "accounts" / "escaped.txt"));
    EXPECT_FALSE(std::filesystem::exists(service.Home("bob") / "mine.txt"));
}

TEST_F(ServiceFtpSafety, RefusesSymbolicLinksThatLeadOut) {
    const auto home = service.Home();
    const auto outside = service.Root() / "outside";
    std::filesystem::create_directory(outside);
    WriteHostFile(outside / "secret.txt", "secret");
    std::filesystem::create_directory_symlink(outside, home / "out");
    std::filesystem::create_symlink(outside / "secret.txt", home / "secret");
    std::filesystem::create_directory(home / "sub");
    WriteHostFile(home / "sub" / "ok.txt", "fine");
    std::filesystem::create_directory_symlink(home / "sub", home / "inner");

    std::string data;
    EXPECT_EQ(code("CWD out"), 550);
    EXPECT_EQ(CodeOf(client.List(data, "LIST out")), 550);
    EXPECT_EQ(CodeOf(client.Retrieve("secret", data)), 550);
    EXPECT_EQ(CodeOf(client.Retrieve("out/secret.txt", data)), 550);
    EXPECT_EQ(code("SIZE secret"), 550);
    EXPECT_EQ(code("MKD out/new"), 550);
    EXPECT_EQ(CodeOf(client.Store("out/new.txt", "x")), 550);
    EXPECT_EQ(CodeOf(client.Store("secret", "overwritten")), 550);
    EXPECT_EQ(ReadHostFile(outside / "secret.txt"), "secret");
    EXPECT_FALSE(std::filesystem::exists(outside / "new"));
    EXPECT_FALSE(std::filesystem::exists(outside / "new.txt"));

    EXPECT_EQ(CodeOf(client.List(data)), 226);
    EXPECT_EQ(data.find("out"), std::string::npos) << data;
    EXPECT_EQ(data.find("secret"), std::string::npos) << data;
    EXPECT_NE(data.find(" inner\r\n"), std::string::npos) << "a link that stays inside";
    EXPECT_EQ(CodeOf(client.Retrieve("inner/ok.txt", data)), 226);
    EXPECT_EQ(data, "fine");
    EXPECT_EQ(code("CWD inner"), 250);

    EXPECT_EQ(code("DELE /secret"), 250) << "removes the link itself";
    EXPECT_EQ(ReadHostFile(outside / "secret.txt"), "secret");
}

TEST_F(ServiceFtpSafety, AnswersOverlongLinesWith500AndGoesOn) {
    EXPECT_EQ(code(std::string(5000, 'A')), 500);
    EXPECT_EQ(code("NOOP"), 200);
    EXPECT_EQ(code("CWD " + std::string(100000, 'x')), 500);
    EXPECT_EQ(code("NOOP"), 200) << "the rest of the long line was dropped";
    EXPECT_EQ(code("SIZE " + std::string(4091, 'y')), 550) << "4096 bytes is still allowed";
}

TEST(ServiceFtpLimits, ClosesIdleSessions) {
    TestService service(
        [](ServiceConfig& config) { config.idle_timeout = std::chrono::milliseconds(200); });
    FtpClient client(service.FtpPort());
    EXPECT_EQ(CodeOf(client.Reply()), 220);
    EXPECT_EQ(CodeOf(client.Reply()), 421);
    EXPECT_EQ(ReadToEnd(client.ControlFd()), "");
}

TEST(ServiceFtpLimits, ACommandLineMustArriveWholeWithinTheIdleTimeOut) {
    TestService service(
        [](ServiceConfig& config) { config.idle_timeout = std::chrono::milliseconds(200); });
    FtpClient client(service.FtpPort());
    ASSERT_EQ(CodeOf(client.Reply()), 220);
    // Each byte comes well within the time-out; the line as a whole does not.
    EXPECT_TRUE(DripUntilAnswered(client.ControlFd(), "USER " + std::string(200, 'x'),
                                  std::chrono::milliseconds(20)));
    EXPECT_EQ(client.Reply(), "421 Idle time-out, closing the connection\r\n");
    EXPECT_EQ(ReadToEnd(client.ControlFd()), "");
}

TEST(ServiceFtpLimits, ClosesConnectionsThatDoNotLogInInTime) {
    TestService service(
        [](ServiceConfig& config) { config.login_timeout = std::chrono::milliseconds(300); });
    FtpClient lingering(service.FtpPort());
    FtpClient member(service.FtpPort());
    ASSERT_EQ(CodeOf(member.Reply()), 220);
    ASSERT_EQ(CodeOf(member.Login()), 230);
    ASSERT_EQ(CodeOf(lingering.Reply()), 220);
    EXPECT_EQ(CodeOf(lingering.Command("USER alice")), 331);
    // Busy but never logged in: every command is answered, until the time is up.
    std::string last;
    for (int i = 0; i < 500 && CodeOf(last) != 421; ++i) {
        last = lingering.Command("NOOP");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(last, "421 Login time-out, closing the connection\r\n");
    EXPECT_EQ(ReadToEnd(lingering.ControlFd()), "");

    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(CodeOf(member.Command("NOOP")), 200) << "a session that logged in stays";
    EXPECT_EQ(CodeOf(member.Command("USER bob")), 331);
    EXPECT_EQ(CodeOf(member.Command("NOOP")), 530) << "logged out again, but not timed out";
}

TEST(ServiceFtpLimits, KeepsRoomForSessionsThatLoggedIn) {
    const ServiceConfig limits;
    // The whole server's limits, with one address and one account allowed to reach them.
    TestService service([&](ServiceConfig& config) {
        config.max_connections_per_address = limits.max_sessions;
        config.max_pending_logins_per_address = limits.max_pending_logins;
        config.max_sessions_per_account = limits.max_sessions;
    });
    ASSERT_LT(limits.max_pending_logins, limits.max_sessions);
    std::deque<std::unique_ptr<FtpClient>> pending;
    std::vector<std::unique_ptr<FtpClient>> members;
    auto greeting = [&service](std::unique_ptr<FtpClient>& client) {
        client = std::make_unique<FtpClient>(service.FtpPort());
        return CodeOf(client->Reply());
    };
    auto refused = [&] {
        std::unique_ptr<FtpClient> extra;
        return greeting(extra) == 421 && ReadToEnd(extra->ControlFd()).empty();
    };

    // A crowd that does not log in fills its own share of places only.
    while (pending.size() < limits.max_pending_logins) {
        ASSERT_EQ(greeting(pending.emplace_back()), 220);
    }
    EXPECT_TRUE(refused());
    // Every login frees a place for one more newcomer, up to the whole limit.
    while (members.size() + pending.size() < limits.max_sessions) {
        ASSERT_EQ(CodeOf(pending.front()->Login()), 230);
        members.push_back(std::move(pending.front()));
        pending.pop_front();
        ASSERT_EQ(greeting(pending.emplace_back()), 220);
    }
    EXPECT_TRUE(refused());
    ASSERT_EQ(CodeOf(pending.front()->Login()), 230);
    EXPECT_TRUE(refused()) << "the whole limit holds for sessions that logged in";

    EXPECT_EQ(CodeOf(members.back()->Command("QUIT")), 221);
    ReadToEnd(members.back()->ControlFd());
    members.pop_back();
    // The server notices the ended session a moment after the client does.
    int code = 0;
    for (int attempt = 0; attempt < 200 && code != 220; ++attempt) {
        std::unique_ptr<FtpClient> again;
        code = greeting(again);
        if (code != 220) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    EXPECT_EQ(code, 220);
}

}  // namespace
}  // namespace testing_support
