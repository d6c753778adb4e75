// The stowbox-service program itself, through the ServiceProcess fixture.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "service_test_kit.h"
#include "support/service_process.h"

namespace stowbox::service::test {
namespace {

using testing_support::ServiceProcess;

TEST(ServiceExecutable, AnnouncesItsPortsServesAndStopsCleanly) {
    for (const int signal : {SIGTERM, SIGINT}) {
        ServiceProcess process({"alice:secret", "bob:pw:3"});
        EXPECT_EQ(process.host(), "127.0.0.1");
        EXPECT_TRUE(std::filesystem::is_directory(process.accountDir("alice")));
        EXPECT_TRUE(std::filesystem::is_directory(process.accountDir("bob")));
        EXPECT_TRUE(std::filesystem::is_directory(process.outboxDir()));

        FtpClient client(std::uint16_t(process.ftpPort()));
        EXPECT_EQ(code_of(client.reply()), 220);
        EXPECT_EQ(code_of(client.login("bob", "pw")), 230);
        std::string data;
        write_file(process.accountDir("bob") / "x.txt", "bob's");
        EXPECT_EQ(code_of(client.retrieve("x.txt", data)), 226);
        EXPECT_EQ(data, "bob's");

        UniqueFd web = connect_to(std::uint16_t(process.webPort()));
        send_text(web.get(),
                  "POST /qmanager/servlet/DownloadLimits?user=bob&password=pw HTTP/1.0\r\n\r\n");
        const std::string reply = read_to_end(web.get());
        EXPECT_EQ(reply.substr(reply.find("\r\n\r\n") + 4), "3\n");

        const int status = process.stop(signal);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    }
}

TEST(ServiceExecutable, HonoursTheIdleTimeoutOption) {
    ServiceProcess process({"alice:secret"}, {"--idle-timeout", "1"});
    FtpClient client(std::uint16_t(process.ftpPort()));
    EXPECT_EQ(code_of(client.reply()), 220);
    EXPECT_EQ(code_of(client.reply()), 421);
}

TEST(ServiceExecutable, RefusesBadArgumentsWithStatus2) {
    const std::string root = (std::filesystem::temp_directory_path() / "stowbox-never").string();
    const std::vector<std::vector<std::string>> bad{
        {},
        {"--root", root},
        {"--root", root, "--account", "alice"},
        {"--root", root, "--account", "a:b", "--ftp-port", "http"},
        {"--root", root, "--account", "a:b", "--frobnicate"},
    };
    for (auto args : bad) {
        args.insert(args.begin(), STOWBOX_SERVICE_PATH);
        const auto result = run_program(args);
        EXPECT_EQ(result.exit_code, 2) << result.output;
        EXPECT_NE(result.output.find("stowbox-service: "), std::string::npos) << result.output;
    }
    EXPECT_FALSE(std::filesystem::exists(root));
}

}  // namespace
}  // namespace stowbox::service::test
