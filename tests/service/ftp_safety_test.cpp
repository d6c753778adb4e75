// Nothing leaves the account's folder, and no client can wear the server down.
#include <gtest/gtest.h>

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

TEST(ServiceFtpLimits, TurnsAwayConnectionsPastTheSessionLimit) {
    TestService service;
    std::vector<std::unique_ptr<FtpClient>> clients;
    for (int i = 0; i < 64; ++i) {
        clients.push_back(std::make_unique<FtpClient>(service.ftp_port()));
        ASSERT_EQ(code_of(clients.back()->reply()), 220);
    }
    FtpClient extra(service.ftp_port());
    EXPECT_EQ(code_of(extra.reply()), 421);
    EXPECT_EQ(read_to_end(extra.fd()), "");

    EXPECT_EQ(code_of(clients.back()->command("QUIT")), 221);
    read_to_end(clients.back()->fd());
    clients.pop_back();
    // The server notices the ended session a moment after the client does.
    int greeting = 0;
    for (int attempt = 0; attempt < 200 && greeting != 220; ++attempt) {
        FtpClient again(service.ftp_port());
        greeting = code_of(again.reply());
        if (greeting != 220) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    EXPECT_EQ(greeting, 220);
}

}  // namespace
}  // namespace stowbox::service::test
