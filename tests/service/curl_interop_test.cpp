// A standard FTP client, the curl tool, works against the server.
#include <gtest/gtest.h>

#include "service_test_kit.h"

namespace stowbox::service::test {
namespace {

class ServiceCurlInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!have_program("curl")) {
            GTEST_SKIP() << "the curl command-line tool is not on PATH";
        }
        local = service.root() / "local";
        std::filesystem::create_directory(local);
    }
    ProgramResult curl(std::vector<std::string> args) {
        args.insert(args.begin(), {"curl", "--silent", "--show-error", "--user", "alice:secret",
                                   "--max-time", "60"});
        return run_program(args);
    }
    std::string url(const std::string& path) {
        return "ftp://127.0.0.1:" + std::to_string(service.ftp_port()) + path;
    }

    TestService service;
    std::filesystem::path local;
};

TEST_F(ServiceCurlInterop, UploadsListsAndDownloads) {
    const std::string bytes = pattern_bytes(1 << 20, 7);
    write_file(local / "up.bin", bytes);
    auto upload = curl({"--ftp-create-dirs", "-T", (local / "up.bin").string(),
                        url("/My%20Device%20on%20Stowbox/Photos/up.bin")});
    ASSERT_EQ(upload.exit_code, 0) << upload.output;
    EXPECT_EQ(read_file(service.home() / "My Device on Stowbox" / "Photos" / "up.bin"), bytes);

    auto listing = curl({url("/My%20Device%20on%20Stowbox/")});
    ASSERT_EQ(listing.exit_code, 0) << listing.output;
    EXPECT_NE(listing.output.find("drwxr-xr-x"), std::string::npos) << listing.output;
    EXPECT_NE(listing.output.find(" Photos"), std::string::npos) << listing.output;

    auto download = curl(
        {"-o", (local / "down.bin").string(), url("/My%20Device%20on%20Stowbox/Photos/up.bin")});
    ASSERT_EQ(download.exit_code, 0) << download.output;
    EXPECT_EQ(read_file(local / "down.bin"), bytes);
}

TEST_F(ServiceCurlInterop, RunsQuotedCommands) {
    auto first = curl({"-Q", "MKD New Folder", url("/")});
    EXPECT_EQ(first.exit_code, 0) << first.output;
    EXPECT_TRUE(std::filesystem::is_directory(service.home() / "New Folder"));
    auto second = curl({"--verbose", "-Q", "MKD New Folder", url("/")});
    EXPECT_NE(second.exit_code, 0);
    EXPECT_NE(second.output.find("< 521 "), std::string::npos) << second.output;

    write_file(service.home() / "old.txt", "renamed");
    auto rename = curl({"-Q", "RNFR old.txt", "-Q", "RNTO New Folder/new.txt", url("/")});
    EXPECT_EQ(rename.exit_code, 0) << rename.output;
    EXPECT_EQ(read_file(service.home() / "New Folder" / "new.txt"), "renamed");

    auto remove = curl({"-Q", "DELE New Folder/new.txt", "-Q", "RMD New Folder", url("/")});
    EXPECT_EQ(remove.exit_code, 0) << remove.output;
    EXPECT_FALSE(std::filesystem::exists(service.home() / "New Folder"));
}

}  // namespace
}  // namespace stowbox::service::test
