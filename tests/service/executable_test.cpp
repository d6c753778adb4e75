// The stowbox-service program itself, through the ServiceProcess fixture.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "service_test_kit.h"
#include "support/service_process.h"

namespace testing_support {
namespace {

TEST(ServiceExecutable, AnnouncesItsPortsServesAndStopsCleanly) {
    for (const int signal : {SIGTERM, SIGINT}) {
        ServiceProcess process({"alice:secret", "bob:pw:3"});
        EXPECT_EQ(process.Host(), "127.0.0.1");
        EXPECT_TRUE(std::filesystem::is_directory(process.AccountDir("alice")));
        EXPECT_TRUE(std::filesystem::is_directory(process.AccountDir("bob")));
        EXPECT_TRUE(std::filesystem::is_directory(process.OutboxDir()));

        FtpClient client(std::uint16_t(process.FtpPort()));
        EXPECT_EQ(CodeOf(client.Reply()), 220);
        EXPECT_EQ(CodeOf(client.Login("bob", "pw")), 230);
        std::string data;
        WriteHostFile(process.AccountDir("bob") / "x.txt", "bob's");
        EXPECT_EQ(CodeOf(client.Retrieve("x.txt", data)), 226);
        EXPECT_EQ(data, "bob's");

        Fd web = ConnectTo(std::uint16_t(process.WebPort()));
        SendText(web.Get(),
                 "POST /qmanager/servlet/DownloadLimits?user=bob&password=pw HTTP/1.0\r\n\r\n");
        const std::string reply = ReadToEnd(web.Get());
        EXPECT_EQ(reply.substr(reply.find("\r\n\r\n") + 4), "3\n");

        const int status = process.Stop(signal);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    }
}

TEST(ServiceExecutable, HonoursTheIdleTimeoutOption) {
    ServiceProcess process({"alice:secret"}, {"--idle-timeout", "1"});
    FtpClient client(std::uint16_t(process.FtpPort()));
    EXPECT_EQ(CodeOf(client.Reply()), 220);
    EXPECT_EQ(CodeOf(client.Reply()), 421);
}

TEST(ServiceExecutable, RefusesBadArgumentsWithStatus2) {
    const std::string root = (std::filesystem::temp_directory_path() / "stowbox-never").string();
    const std::vector<std::vector<std::string>> bad{
        {},
        {"--root", root},
        {"--root", root, "--account", "alice"},
        {"--root", root, "--account", "a:b", "--ftp-port", "http"},
        {"--root", root, "--account", "a:b", "--frobnicate"},
        {"--root", root, "--account", "a:b", "--require-tls"},
        {"--root", root, "--account", "a:b", "--tls-cert", "server.pem"},
    };
    for (auto args : bad) {
        args.insert(args.begin(), STOWBOX_SERVICE_PATH);
        const auto result = RunProgram(args);
        EXPECT_EQ(result.exitCode, 2) << result.output;
        EXPECT_NE(result.output.find("stowbox-service: "), std::string::npos) << result.output;
    }
    EXPECT_FALSE(std::filesystem::exists(root));
}

}  // namespace
}  // namespace testing_support
