// Accounts from a file of crypt(3) hashes, and the executable's --hash-password.
#include <crypt.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "accounts_file.h"
#include "password_hash.h"
#include "service_test_kit.h"
#include "support/service_process.h"
#include "web_test_client.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

// Hashing is slow on purpose: one hash serves every case.
const std::string& PwHash() {
    static const std::string hash = hash_password("pw");
    return hash;
}

TEST(ServiceAccountsFile, ParsesLinesAndNamesTheBadOne) {
    std::string error;
    const auto good = parse_accounts_text(
        "# accounts\n\n  alice:" + PwHash() + ":25  \r\nbob:" + PwHash() + "\n   # done", error);
    ASSERT_TRUE(good) << error;
    ASSERT_EQ(good->size(), 2u);
    EXPECT_EQ(good->at(0).name, "alice");
    EXPECT_EQ(good->at(0).download_limit, 25);
    EXPECT_EQ(good->at(0).password_hash, PwHash());
    EXPECT_EQ(good->at(1).name, "bob");
    EXPECT_EQ(good->at(1).download_limit, kDefaultDownloadLimit);
    EXPECT_TRUE(good->at(1).password.empty());

    const std::string line = "alice:" + PwHash();
    const std::vector<std::pair<std::string, std::string>> bad{
        {"alice\n", "line 1: "},
        {"# limit\n" + line + ":0\n", "line 2: "},
        {line + ":1000", "line 1: "},
        {line + ":5:6", "line 1: "},
        {line + ":", "line 1: "},
        {"alice:secret", "line 1: "},                     // a password, not a hash
        {"alice:" + PwHash().substr(0, 29), "line 1: "},  // the salt alone
        {"alice:ab01234567890", "line 1: "},              // an old DES hash
        {"\n" + line + "\n" + line, "line 3: "},
        {"../x:" + PwHash(), "line 1: "},
    };
    for (const auto& [text, where] : bad) {
        error.clear();
        EXPECT_FALSE(parse_accounts_text(text, error)) << text;
        EXPECT_EQ(error.substr(0, where.size()), where) << error;
    }
}

TEST(ServiceAccountsFile, RefusesAFileOthersMayReadOrWrite) {
    TempFolder folder;
    const auto path = folder.WriteFile("accounts", "alice:" + PwHash() + "\n");
    for (const mode_t mode : {0600, 0400, 0640, 0620, 0604, 0602, 0660}) {
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        std::string error;
        const bool loaded = load_accounts_file(path, error).has_value();
        EXPECT_EQ(loaded, (mode & 077) == 0) << std::oct << mode << " " << error;
        if (!loaded) {
            EXPECT_NE(error.find(path.string()), std::string::npos) << error;
        }
    }
    std::string error;
    EXPECT_FALSE(load_accounts_file(folder.Path() / "missing", error));
    EXPECT_FALSE(load_accounts_file(folder.Path(), error)) << "a folder";
}

TEST(ServiceAccountsFile, TheExecutableHashesLogsInAndRefusesLooseFiles) {
    const auto hashed =
        RunProgram({"/bin/sh", "-c", "printf 'open sesame\\n' | exec \"$0\" --hash-password",
                    STOWBOX_SERVICE_PATH});
    ASSERT_EQ(hashed.exitCode, 0) << hashed.output;
    ASSERT_TRUE(hashed.output.ends_with("\n"));
    const std::string hash = hashed.output.substr(0, hashed.output.size() - 1);
    crypt_data data{};
    EXPECT_STREQ(::crypt_r("open sesame", hash.c_str(), &data), hash.c_str());
    EXPECT_STRNE(::crypt_r("open sesamE", hash.c_str(), &data), hash.c_str());

    TempFolder folder;
    const auto path = folder.WriteFile("accounts", "# the team\nalice:" + hash + ":7\n");
    ::chmod(path.c_str(), 0600);
    {
        ServiceProcess service({}, {"--accounts", path.string()});
        FtpClient right(std::uint16_t(service.FtpPort()));
        right.Reply();
        EXPECT_EQ(CodeOf(right.Login("alice", "open sesame")), 230);
        FtpClient wrong(std::uint16_t(service.FtpPort()));
        wrong.Reply();
        EXPECT_EQ(CodeOf(wrong.Login("alice", "open sesamE")), 530);
        EXPECT_EQ(WebRequest(std::uint16_t(service.WebPort()),
                             "/qmanager/servlet/DownloadLimits?user=alice&password=open%20sesame",
                             "127.0.0.1", "POST")
                      .body,
                  "7\n");
    }

    // A root that cannot be made: a service that got past its accounts would stop at once.
    const auto root = path / "root";
    ::chmod(path.c_str(), 0644);
    const auto loose =
        RunProgram({STOWBOX_SERVICE_PATH, "--root", root.string(), "--accounts", path.string()});
    EXPECT_EQ(loose.exitCode, 2);
    EXPECT_NE(loose.output.find("stowbox-service: accounts file " + path.string()),
              std::string::npos)
        << loose.output;
    ::chmod(path.c_str(), 0600);
    WriteHostFile(path, "alice:" + hash + "\nbob:open sesame\n");
    const auto malformed =
        RunProgram({STOWBOX_SERVICE_PATH, "--root", root.string(), "--accounts", path.string()});
    EXPECT_EQ(malformed.exitCode, 2);
    EXPECT_NE(malformed.output.find("line 2: "), std::string::npos) << malformed.output;
}

}  // namespace
}  // namespace testing_support
