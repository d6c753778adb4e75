// --add-account, --change-password and --remove-account through the executable, with the
// password on standard input, against a running service started from a settings file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "service_test_kit.h"
#include "support/service_process.h"

namespace testing_support {
namespace {

// Runs the service executable with `args`, `input` on its standard input.
ProgramResult RunWithInput(const std::string& input, std::vector<std::string> args) {
    args.insert(args.begin(), {"/bin/sh", "-c", "printf %s \"$1\" | { shift; exec \"$0\" \"$@\"; }",
                               STOWBOX_SERVICE_PATH, input});
    return RunProgram(args);
}

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(ServiceAccountCommands, AddChangeAndRemoveReachTheRunningService) {
    TempFolder folder;
    const auto conf = folder.WriteFile(
        "svc.conf", "listen = 127.0.0.1\nftp-port = 0\naccounts = accounts\nroot = data\n");
    const auto accounts = folder.Path() / "accounts";
    const std::vector<std::string> viaConfig{"--config", conf.string()};
    const std::vector<std::string> viaFile{"--accounts", accounts.string()};
    auto command = [&](const std::string& input, std::vector<std::string> args, bool viaConf) {
        const auto& where = viaConf ? viaConfig : viaFile;
        args.insert(args.end(), where.begin(), where.end());
        return RunWithInput(input, args);
    };

    // A fresh install: the service starts with no account yet.
    WriteHostFile(accounts, "# none yet\n");
    ::chmod(accounts.c_str(), 0600);
    ServiceProcess service({}, {"--config", conf.string(), "--failed-login-delay", "0"});
    auto logIn = [&](const std::string& user, const std::string& password) {
        FtpClient client(std::uint16_t(service.FtpPort()));
        client.Reply();
        return CodeOf(client.Login(user, password));
    };
    EXPECT_EQ(logIn("alice", "first"), 530);

    // Added to a missing file, which is created private and taken in by the service.
    std::filesystem::remove(accounts);
    EXPECT_EQ(logIn("alice", "first"), 530);
    const auto added = command("first\n", {"--add-account", "alice"}, true);
    ASSERT_EQ(added.exitCode, 0) << added.output;
    EXPECT_EQ(added.output,
              "added account \"alice\" (download limit 10) to " + accounts.string() + "\n");
    EXPECT_EQ(ModeOf(accounts), 0600u);
    EXPECT_EQ(logIn("alice", "first"), 230);

    EXPECT_EQ(command("bob's\n", {"--add-account", "bob", "--limit", "7"}, false).exitCode, 0);
    EXPECT_EQ(logIn("bob", "bob's"), 230) << "an account added while the service runs";

    // A mode other than 0600 is kept through the rewrite.
    ::chmod(accounts.c_str(), 0400);
    const auto changed = command("second\r\n", {"--change-password", "alice"}, true);
    EXPECT_EQ(changed.exitCode, 0) << changed.output;
    EXPECT_EQ(ModeOf(accounts), 0400u);
    EXPECT_EQ(logIn("alice", "second"), 230);
    EXPECT_EQ(logIn("alice", "first"), 530);
    ::chmod(accounts.c_str(), 0600);

    const std::string before = ReadHostFile(accounts);
    const struct {
        std::string input;
        std::vector<std::string> args;
        std::string error;
    } refused[] = {
        {"x\n", {"--add-account", "alice"}, "account \"alice\" is in "},
        {"x\n", {"--change-password", "carol"}, "there is no account \"carol\" in "},
        {"", {"--remove-account", "carol"}, "there is no account \"carol\" in "},
        {"\n", {"--add-account", "carol"}, "the password is empty"},
        {"", {"--add-account", "carol"}, "no password on standard input"},
        {"x\n", {"--add-account", "a/b"}, "the account name may not hold \"/\""},
    };
    for (const auto& [input, args, error] : refused) {
        const auto result = command(input, args, true);
        EXPECT_NE(result.exitCode, 0) << result.output;
        EXPECT_NE(result.output.find("stowbox-service: " + error), std::string::npos)
            << result.output;
    }
    EXPECT_EQ(ReadHostFile(accounts), before);

    // A file the service would refuse is not edited, and the running service keeps the
    // accounts it had while the file is in that state.
    ::chmod(accounts.c_str(), 0644);
    const auto loose = command("x\n", {"--add-account", "carol"}, true);
    EXPECT_NE(loose.output.find("chmod 600"), std::string::npos) << loose.output;
    EXPECT_EQ(logIn("alice", "second"), 230);
    ::chmod(accounts.c_str(), 0600);
    EXPECT_EQ(ReadHostFile(accounts), before);

    const auto removed = command("", {"--remove-account", "bob"}, false);
    EXPECT_EQ(removed.output, "removed account \"bob\" from " + accounts.string() + "\n");
    EXPECT_EQ(logIn("bob", "bob's"), 530);
    EXPECT_EQ(logIn("alice", "second"), 230);
    EXPECT_EQ(ModeOf(accounts), 0600u);
}

}  // namespace
}  // namespace testing_support
