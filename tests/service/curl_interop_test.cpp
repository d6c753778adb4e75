// A standard FTP client, the curl tool, works against the server.
#include <gtest/gtest.h>

#include "service_test_kit.h"

namespace testing_support {
namespace {

class ServiceCurlInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveProgram("curl")) {
            GTEST_SKIP() << "the curl command-line tool is not on PATH";
        }
        local = service.Root() / "local";
        std::filesystem::create_directory(local);
    }
    ProgramResult curl(std::vector<std::string> args) {
        args.insert(args.begin(), {"curl", "--silent", "--show-error", "--user", "alice:secret",
                                   "--max-time", "60"});
        return RunProgram(args);
    }
    std::string url(const std::string& path) {
        return "ftp://127.0.0.1:" + std::to_string(service.FtpPort()) + path;
    }

    TestService service;
    std::filesystem::path local;
};

TEST_F(ServiceCurlInterop, UploadsListsAndDownloads) {
    const std::string bytes = PatternBytes(1 << 20, 7);
    WriteHostFile(local / "up.bin", bytes);
    auto upload = curl({"--ftp-create-dirs", "-T", (local / "up.bin").string(),
                        url("/My%20Device%20on%20Stowbox/Photos/up.bin")});
    ASSERT_EQ(upload.exitCode, 0) << upload.output;
    EXPECT_EQ(ReadHostFile(service.Home() / "My Device on Stowbox" / "Photos" / "up.bin"), bytes);

    auto listing = curl({url("/My%20Device%20on%20Stowbox/")});
    ASSERT_EQ(listing.exitCode, 0) << listing.output;
    EXPECT_NE(listing.output.find("drwx------"), std::string::npos) << listing.output;
    EXPECT_NE(listing.output.find(" Photos"), std::string::npos) << listing.output;

    auto download = curl(
        {"-o", (local / "down.bin").string(), url("/My%20Device%20on%20Stowbox/Photos/up.bin")});
    ASSERT_EQ(download.exitCode, 0) << download.output;
    EXPECT_EQ(ReadHostFile(local / "down.bin"), bytes);
}

TEST_F(ServiceCurlInterop, RunsQuotedCommands) {
    auto first = curl({"-Q", "MKD New Folder", url("/")});
    EXPECT_EQ(first.exitCode, 0) << first.output;
    EXPECT_TRUE(std::filesystem::is_directory(service.Home() / "New Folder"));
    auto second = curl({"--verbose", "-Q", "MKD New Folder", url("/")});
    EXPECT_NE(second.exitCode, 0);
    EXPECT_NE(second.output.find("< 521 "), std::string::npos) << second.output;

    WriteHostFile(service.Home() / "old.txt", "renamed");
    auto rename = curl({"-Q", "RNFR old.txt", "-Q", "RNTO New Folder/new.txt", url("/")});
    EXPECT_EQ(rename.exitCode, 0) << rename.output;
    EXPECT_EQ(ReadHostFile(service.Home() / "New Folder" / "new.txt"), "renamed");

    auto remove = curl({"-Q", "DELE New Folder/new.txt", "-Q", "RMD New Folder", url("/")});
    EXPECT_EQ(remove.exitCode, 0) << remove.output;
    EXPECT_FALSE(std::filesystem::exists(service.Home() / "New Folder"));
}

}  // namespace
}  // namespace testing_support
