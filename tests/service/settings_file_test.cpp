// The service's settings file (--config): its keys, its bad lines, and the command line
// winning over it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "command_line.h"
#include "support/temp_folder.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

TEST(ServiceSettingsFile, TakesTheOptionsKeysAndNamesTheBadLine) {
    TempFolder folder;
    // A fresh install: an accounts file with no account yet.
    const auto accounts = folder.WriteFile("etc/accounts", "# none yet\n");
    ::chmod(accounts.c_str(), 0600);
    const auto conf = folder.WriteFile("etc/svc.conf",
                                       "# where it listens\n"
                                       "  listen = 127.0.0.2  \n"
                                       "ftp-port=2121\n"
                                       "\n"
                                       "web-port = 8080\n"
                                       "accounts = accounts\n"
                                       "root = data\n"
                                       "tls-cert = tls/cert.pem\n"
                                       "tls-key = /keys/key.pem\n"
                                       "require-tls = yes\n"
                                       "max-sessions-per-account = 3\n");
    const auto fromFile = parse_command_line({"--config", conf.string()});
    ASSERT_TRUE(fromFile.config) << fromFile.error;
    EXPECT_EQ(fromFile.config->listen, "127.0.0.2");
    EXPECT_EQ(fromFile.config->ftp_port, 2121);
    EXPECT_EQ(fromFile.config->root, folder.Path() / "etc/data");
    EXPECT_EQ(fromFile.config->accounts_file, accounts);
    EXPECT_EQ(fromFile.config->tls_certificate, folder.Path() / "etc/tls/cert.pem");
    EXPECT_EQ(fromFile.config->tls_key, "/keys/key.pem");
    EXPECT_TRUE(fromFile.config->require_tls);
    EXPECT_EQ(fromFile.config->max_sessions_per_account, 3u);
    EXPECT_NE(fromFile.notice.find("holds no account yet"), std::string::npos) << fromFile.notice;

    // Before or after --config, the command line wins.
    const auto mixed = parse_command_line(
        {"--ftp-port", "0", "--config", conf.string(), "--root", "/r", "--listen=127.0.0.1"});
    ASSERT_TRUE(mixed.config) << mixed.error;
    EXPECT_EQ(mixed.config->ftp_port, 0);
    EXPECT_EQ(mixed.config->web_port, 8080);
    EXPECT_EQ(mixed.config->root, "/r");
    EXPECT_EQ(mixed.config->listen, "127.0.0.1");

    const struct {
        std::string text;
        int line;
        std::string problem;
    } bad[] = {
        {"listen 127.0.0.1\n", 1, "not \"key = value\""},
        {"# a comment\nfrobnicate = 1\n", 2, "unknown key \"frobnicate\""},
        {"account = alice:secret\n", 1, "unknown key \"account\""},
        {"root = a\nftp-port = http\n", 2, "ftp-port needs a port number"},
        {"require-tls = maybe\n", 1, "require-tls takes yes or no"},
        {"root = a\n\nroot = b\n", 3, "\"root\" is given already on line 1"},
        {" = x\n", 1, "no key"},
    };
    for (const auto& [text, line, problem] : bad) {
        const auto path = folder.WriteFile("bad.conf", text);
        const auto result = parse_command_line({"--config", path.string(), "--root", "/r"});
        EXPECT_FALSE(result.config) << text;
        EXPECT_TRUE(result.error_in_file) << text;
        const std::string where =
            "settings file " + path.string() + ", line " + std::to_string(line) + ": ";
        EXPECT_EQ(result.error.substr(0, where.size() + problem.size()), where + problem);
    }
    EXPECT_EQ(
        parse_command_line({"--config", (folder.Path() / "none.conf").string()}).error,
        "settings file " + (folder.Path() / "none.conf").string() + ": No such file or directory");
}

TEST(ServiceSettingsFile, AccountCommandsFindTheAccountsFileAndRefuseStrayOptions) {
    TempFolder folder;
    const auto conf = folder.WriteFile("svc.conf", "accounts = team/accounts\nroot = /r\n");
    const auto add =
        parse_command_line({"--add-account", "alice", "--limit=7", "--config", conf.string()});
    ASSERT_TRUE(add.account_command) << add.error;
    EXPECT_FALSE(add.config);
    EXPECT_EQ(add.account_command->accounts_file, folder.Path() / "team/accounts");
    EXPECT_EQ(add.account_command->download_limit, 7);

    const auto noAccounts = folder.WriteFile("bare.conf", "root = /r\n");
    const std::vector<std::vector<std::string>> bad{
        {"--add-account", "alice"},
        {"--add-account", "alice", "--config", noAccounts.string()},
        {"--add-account", "alice", "--accounts", "a", "--root", "/r"},
        {"--add-account", "alice", "--accounts", "a", "--limit", "1000"},
        {"--change-password", "alice", "--accounts", "a", "--limit", "5"},
        {"--remove-account", "alice", "--add-account", "bob", "--accounts", "a"},
        {"--add-account", "al:ice", "--accounts", "a"},
        {"--add-account", "#alice", "--accounts", "a"},
        {"--root", "/r", "--accounts", "a", "--limit", "5"},
    };
    for (const auto& args : bad) {
        const auto result = parse_command_line(args);
        EXPECT_FALSE(result.account_command || result.config) << args.at(1);
        EXPECT_FALSE(result.error.empty());
    }
}

}  // namespace
}  // namespace testing_support
