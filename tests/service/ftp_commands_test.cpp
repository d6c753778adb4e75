// The FTP commands and reply codes, over a raw control connection.
#include <gtest/gtest.h>

#include "service_test_kit.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

class ServiceFtpCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CodeOf(client.Reply()), 220);
        ASSERT_EQ(CodeOf(client.Login()), 230);
    }
    int code(const std::string& line) { return CodeOf(client.Command(line)); }

    TestService service;
    FtpClient client{service.FtpPort()};
};

TEST(ServiceFtpLogin, OnlyUserPassAndQuitWorkBeforeLogin) {
    TestService service([](ServiceConfig& config) {
        config.failed_login_delay = {};
        config.max_login_failures = 4;
    });
    FtpClient client(service.FtpPort());
    EXPECT_EQ(CodeOf(client.Reply()), 220);
    for (const char* line : {"PWD", "NOOP", "SYST", "LIST", "PASV", "CWD /", "BOGUS", "NLST",
                             "MLSD", "MLST", "MDTM a", "EPSV", "REST 0"}) {
        EXPECT_EQ(CodeOf(client.Command(line)), 530) << line;
    }
    EXPECT_EQ(CodeOf(client.Command("USER alice")), 331);
    EXPECT_EQ(CodeOf(client.Command("PASS wrong")), 530);
    EXPECT_EQ(CodeOf(client.Command("PWD")), 530);
    EXPECT_EQ(CodeOf(client.Command("PASS secret")), 530) << "PASS needs a USER first";
    EXPECT_EQ(CodeOf(client.Command("USER nobody")), 331);
    EXPECT_EQ(CodeOf(client.Command("PASS secret")), 530);
    EXPECT_EQ(CodeOf(client.Command("user alice")), 331);
    EXPECT_EQ(CodeOf(client.Command("pass secret")), 230);
    EXPECT_EQ(client.Command("pWd"), "257 \"/\" is the current directory\r\n");
    EXPECT_EQ(CodeOf(client.Command("QUIT")), 221);
    EXPECT_EQ(ReadToEnd(client.ControlFd()), "");
}

TEST_F(ServiceFtpCommands, AnswersTheSmallCommands) {
    EXPECT_EQ(client.Command("SYST"), "215 UNIX Type: L8\r\n");
    EXPECT_EQ(code("NOOP"), 200);
    EXPECT_EQ(code("TYPE A"), 200);
    EXPECT_EQ(code("TYPE I"), 200);
    EXPECT_EQ(code("TYPE X"), 504);
    EXPECT_EQ(code("APPE x"), 502);
    EXPECT_EQ(code("SITE CHMOD 777 x"), 502);
    EXPECT_EQ(code("RNTO x"), 503);
}

TEST_F(ServiceFtpCommands, ChangesFolderWithCollapsedSlashesAndSpareBlanks) {
    EXPECT_EQ(client.Command("MKD My Device on Stowbox"),
              "257 \"/My Device on Stowbox\" created\r\n");
    EXPECT_EQ(code("MKD /My Device on Stowbox//Photos"), 257);
    EXPECT_EQ(code("CWD /My Device on Stowbox"), 250);
    EXPECT_EQ(client.Command("PWD"), "257 \"/My Device on Stowbox\" is the current directory\r\n");
    EXPECT_EQ(code("CWD  Photos"), 250) << "the client's extra blank";
    EXPECT_EQ(client.Command("PWD"),
              "257 \"/My Device on Stowbox/Photos\" is the current directory\r\n");
    EXPECT_EQ(code("CWD //"), 250);
    EXPECT_EQ(client.Command("PWD"), "257 \"/\" is the current directory\r\n");
    EXPECT_EQ(code("CWD /My Device on Stowbox//Photos"), 250);
    EXPECT_EQ(code("CDUP"), 250);
    EXPECT_EQ(client.Command("PWD"), "257 \"/My Device on Stowbox\" is the current directory\r\n");
    EXPECT_EQ(code("CWD Missing"), 550);
    WriteHostFile(service.Home() / "file.txt", "x");
    EXPECT_EQ(code("CWD /file.txt"), 550);
    EXPECT_EQ(client.Command("PWD"), "257 \"/My Device on Stowbox\" is the current directory\r\n");

    // A name that really starts with a blank is taken as it stands.
    EXPECT_EQ(code("MKD / lead"), 257);
    EXPECT_EQ(code("CWD / lead"), 250);
    EXPECT_EQ(client.Command("PWD"), "257 \"/ lead\" is the current directory\r\n");
}

TEST_F(ServiceFtpCommands, CreatesRemovesAndRenames) {
    const auto home = service.Home();
    EXPECT_EQ(code("MKD Docs"), 257);
    EXPECT_EQ(code("MKD Docs"), 521);
    EXPECT_EQ(code("MKD /Docs/"), 521);
    EXPECT_EQ(code("MKD Missing/Sub"), 550);
    WriteHostFile(home / "Docs" / "a.txt", "hello");
    EXPECT_EQ(code("MKD Docs/a.txt"), 550) << "a file, not a folder, has that name";

    EXPECT_EQ(client.Command("SIZE Docs/a.txt"), "213 5\r\n");
    EXPECT_EQ(client.Command("SIZE  Docs/a.txt"), "213 5\r\n") << "leading blank of a name";
    EXPECT_EQ(code("SIZE Docs"), 550);
    EXPECT_EQ(code("SIZE Docs/none"), 550);

    EXPECT_EQ(code("RMD Docs"), 550) << "not empty";
    EXPECT_EQ(code("RNFR Docs/none"), 550);
    EXPECT_EQ(code("RNFR Docs/a.txt"), 350);
    EXPECT_EQ(code("RNTO Docs/b.txt"), 250);
    EXPECT_EQ(ReadHostFile(home / "Docs" / "b.txt"), "hello");
    EXPECT_EQ(code("RNFR Docs/b.txt"), 350);
    EXPECT_EQ(code("RNTO Missing/b.txt"), 553);
    EXPECT_TRUE(std::filesystem::exists(home / "Docs" / "b.txt"));
    EXPECT_EQ(code("RNFR Docs/b.txt"), 350);
    EXPECT_EQ(code("NOOP"), 200);
    EXPECT_EQ(code("RNTO Docs/c.txt"), 503) << "RNTO must follow RNFR at once";

    EXPECT_EQ(code("DELE Docs"), 550);
    EXPECT_EQ(code("DELE  Docs/b.txt"), 250);
    EXPECT_FALSE(std::filesystem::exists(home / "Docs" / "b.txt"));
    EXPECT_EQ(code("DELE Docs/b.txt"), 550);
    EXPECT_EQ(code("RMD Docs"), 250);
    EXPECT_EQ(code("RMD Docs"), 550);
    EXPECT_EQ(code("RMD /"), 550);
    EXPECT_TRUE(std::filesystem::is_directory(home));
}

}  // namespace
// Many command lines in one write, as a pipelining client sends them: every line is
// answered, in order.
TEST_F(ServiceFtpCommands, AnswersPipelinedCommandsInOrder) {
    WriteHostFile(service.Home() / "a.bin", std::string(2048, 'a'));
    std::string lines;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        lines += i % 2 == 0 ? "SIZE a.bin\r\n" : "SIZE missing" + std::to_string(i) + "\r\n";
        expected += i % 2 == 0 ? "213 2048\r\n" : "550 ";
    }
    lines += "PWD\r\nQUIT\r\n";
    SendText(client.ControlFd(), lines);
    const std::string replies = ReadToEnd(client.ControlFd());
    // The 550 texts are the service's own; the codes and their order are what counts.
    std::string codes;
    for (std::size_t at = 0; at < replies.size();) {
        const std::size_t end = replies.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        const std::string line = replies.substr(at, end + 2 - at);
        codes += line.rfind("550 ", 0) == 0 ? "550 " : line;
        at = end + 2;
    }
    EXPECT_EQ(codes, expected + "257 \"/\" is the current directory\r\n221 Goodbye\r\n");
}

}  // namespace testing_support
