// Nothing leaves the account's folder, and no client can wear the server down.
#include <gtest/gtest.h>

#include <deque>
#include <thread>

#include "service_test_kit.h"

namespace stowbox::service::test {
namespace {

class ServiceFtpSafety : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(code_of(client.reply()), 220);
        ASSERT_EQ(code_of(client.login()), 230);
    }
    int code(const std::string& line) { return code_of(client.command(line)); }

    TestService service;
    FtpClient client{service.ftp_port()};
};

TEST_F(ServiceFtpSafety, RefusesPathsThatClimbOut) {
    write_file(service.home("bob") / "bobs.txt", "private");
    std::string data;
    EXPECT_EQ(code("CWD ../.."), 550);
    EXPECT_EQ(code("CWD /../bob"), 550);
    EXPECT_EQ(code("CWD /etc"), 550) << "host paths mean nothing here";
    EXPECT_EQ(code_of(client.retrieve("../../etc/passwd", data)), 550);
    EXPECT_EQ(code_of(client.retrieve("/etc/passwd", data)), 550);
    EXPECT_EQ(code("SIZE ../bob/bobs.txt"), 550);
    EXPECT_EQ(code("DELE ../bob/bobs.txt"), 550);
    EXPECT_EQ(code("MKD ../escaped"), 550);
    EXPECT_EQ(code_of(client.store("../escaped.txt", "x")), 550);
    EXPECT_EQ(code_of(client.list(data, "LIST ../..")), 550);
    write_file(service.home() / "mine.txt", "x");
    EXPECT_EQ(code("RNFR mine.txt"), 350);
    EXPECT_EQ(code("RNTO ../bob/mine.txt"), 553);
    EXPECT_EQ(code("RETR " + std::string("mine.txt\0/../x", 14)), 550);

    EXPECT_EQ(read_file(service.home("bob") / "bobs.txt"), "private");
    EXPECT_FALSE(std::filesystem::exists(service.root() / "accounts" / "escaped"));
    EXPECT_FALSE(std::filesystem::exists(service.root() / "accounts" / "escaped.txt"));
    EXPECT_FALSE(std::filesystem::exists(service.home("bob") / "mine.txt"));
}

TEST_F(ServiceFtpSafety, RefusesSymbolicLinksThatLeadOut) {
    const auto home = service.home();
    const auto outside = service.root() / "outside";
    std::filesystem::create_directory(outside);
    write_file(outside / "secret.txt", "secret");
    std::filesystem::create_directory_symlink(outside, home / "out");
    std::filesystem::create_symlink(outside / "secret.txt", home / "secret");
    std::filesystem::create_directory(home / "sub");
    write_file(home / "sub" / "ok.txt", "fine");
    std::filesystem::create_directory_symlink(home / "sub", home / "inner");

    std::string data;
    EXPECT_EQ(code("CWD out"), 550);
    EXPECT_EQ(code_of(client.list(data, "LIST out")), 550);
    EXPECT_EQ(code_of(client.retrieve("secret", data)), 550);
    EXPECT_EQ(code_of(client.retrieve("out/secret.txt", data)), 550);
    EXPECT_EQ(code("SIZE secret"), 550);
    EXPECT_EQ(code("MKD out/new"), 550);
    EXPECT_EQ(code_of(client.store("out/new.txt", "x")), 550);
    EXPECT_EQ(code_of(client.store("secret", "overwritten")), 550);
    EXPECT_EQ(read_file(outside / "secret.txt"), "secret");
    EXPECT_FALSE(std::filesystem::exists(outside / "new"));
    EXPECT_FALSE(std::filesystem::exists(outside / "new.txt"));

    EXPECT_EQ(code_of(client.list(data)), 226);
    EXPECT_EQ(data.find("out"), std::string::npos) << data;
    EXPECT_EQ(data.find("secret"), std::string::npos) << data;
    EXPECT_NE(data.find(" inner\r\n"), std::string::npos) << "a link that stays inside";
    EXPECT_EQ(code_of(client.retrieve("inner/ok.txt", data)), 226);
    EXPECT_EQ(data, "fine");
    EXPECT_EQ(code("CWD inner"), 250);

    EXPECT_EQ(code("DELE /secret"), 250) << "removes the link itself";
    EXPECT_EQ(read_file(outside / "secret.txt"), "secret");
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
    FtpClient client(service.ftp_port());
    EXPECT_EQ(code_of(client.reply()), 220);
    EXPECT_EQ(code_of(client.reply()), 421);
    EXPECT_EQ(read_to_end(client.fd()), "");
}

TEST(ServiceFtpLimits, ACommandLineMustArriveWholeWithinTheIdleTimeOut) {
    TestService service(
        [](ServiceConfig& config) { config.idle_timeout = std::chrono::milliseconds(200); });
    FtpClient client(service.ftp_port());
    ASSERT_EQ(code_of(client.reply()), 220);
    // Each byte comes well within the time-out; the line as a whole does not.
    EXPECT_TRUE(drip_until_answered(client.fd(), "USER " + std::string(200, 'x'),
                                    std::chrono::milliseconds(20)));
    EXPECT_EQ(client.reply(), "421 Idle time-out, closing the connection\r\n");
    EXPECT_EQ(read_to_end(client.fd()), "");
}

TEST(ServiceFtpLimits, ClosesConnectionsThatDoNotLogInInTime) {
    TestService service(
        [](ServiceConfig& config) { config.login_timeout = std::chrono::milliseconds(300); });
    FtpClient lingering(service.ftp_port());
    FtpClient member(service.ftp_port());
    ASSERT_EQ(code_of(member.reply()), 220);
    ASSERT_EQ(code_of(member.login()), 230);
    ASSERT_EQ(code_of(lingering.reply()), 220);
    EXPECT_EQ(code_of(lingering.command("USER alice")), 331);
    // Busy but never logged in: every command is answered, until the time is up.
    std::string last;
    for (int i = 0; i < 500 && code_of(last) != 421; ++i) {
        last = lingering.command("NOOP");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(last, "421 Login time-out, closing the connection\r\n");
    EXPECT_EQ(read_to_end(lingering.fd()), "");

    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(code_of(member.command("NOOP")), 200) << "a session that logged in stays";
    EXPECT_EQ(code_of(member.command("USER bob")), 331);
    EXPECT_EQ(code_of(member.command("NOOP")), 530) << "logged out again, but not timed out";
}

TEST(ServiceFtpLimits, KeepsRoomForSessionsThatLoggedIn) {
    TestService service;
    const ServiceConfig limits;
    ASSERT_LT(limits.max_pending_logins, limits.max_sessions);
    std::deque<std::unique_ptr<FtpClient>> pending;
    std::vector<std::unique_ptr<FtpClient>> members;
    auto greeting = [&service](std::unique_ptr<FtpClient>& client) {
        client = std::make_unique<FtpClient>(service.ftp_port());
        return code_of(client->reply());
    };
    auto refused = [&] {
        std::unique_ptr<FtpClient> extra;
        return greeting(extra) == 421 && read_to_end(extra->fd()).empty();
    };

    // A crowd that does not log in fills its own share of places only.
    while (pending.size() < limits.max_pending_logins) {
        ASSERT_EQ(greeting(pending.emplace_back()), 220);
    }
    EXPECT_TRUE(refused());
    // Every login frees a place for one more newcomer, up to the whole limit.
    while (members.size() + pending.size() < limits.max_sessions) {
        ASSERT_EQ(code_of(pending.front()->login()), 230);
        members.push_back(std::move(pending.front()));
        pending.pop_front();
        ASSERT_EQ(greeting(pending.emplace_back()), 220);
    }
    EXPECT_TRUE(refused());
    ASSERT_EQ(code_of(pending.front()->login()), 230);
    EXPECT_TRUE(refused()) << "the whole limit holds for sessions that logged in";

    EXPECT_EQ(code_of(members.back()->command("QUIT")), 221);
    read_to_end(members.back()->fd());
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
}  // namespace stowbox::service::test
