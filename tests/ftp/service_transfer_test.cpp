// The same transfers against the stand-in service: what arrives on either side is exact.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ftp/ftp_session.h"
#include "support/scripted_ftp_server.h"
#include "support/service_process.h"
#include "support/test_device.h"

using testing_support::ScriptedFtpServer;

namespace {

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteHostFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class AgainstService : public ::testing::Test {
  protected:
    testing_support::ServiceProcess service{{"alice:secret"}};
    testing_support::TestDevice device{testing_support::TestDevice::Options{
        static_cast<std::uint16_t>(service.ftpPort()), true, std::chrono::seconds(10)}};
    CFtpSession session;
    std::filesystem::path remoteRoot = service.accountDir("alice") / "My Device on Stowbox";

    void SetUp() override {
        std::filesystem::create_directories(remoteRoot);
        ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
        ASSERT_TRUE(session.Login(L"alice", L"secret"));
    }
};

}  // namespace

TEST_F(AgainstService, BinaryFilesTravelBothWaysByteForByte) {
    const std::string bytes = ScriptedFtpServer::Pattern(0, 100'000);
    device.WriteFile("up.bin", bytes);
    device.WriteFile("empty.bin", "");

    EXPECT_TRUE(session.StoreFile(L"\\up.bin", L"up.bin"));
    EXPECT_TRUE(session.StoreFile(L"\\empty.bin", L"empty.bin"));
    EXPECT_EQ(ReadHostFile(remoteRoot / "up.bin"), bytes);
    EXPECT_TRUE(std::filesystem::exists(remoteRoot / "empty.bin"));

    session.SendCommand(L"CWD /My Device on Stowbox");
    session.ReadReply();
    EXPECT_TRUE(session.RetrieveFile(L"up.bin", L"down.bin"));
    EXPECT_EQ(device.ReadFile("down.bin"), bytes);

    std::wstring listing;
    EXPECT_TRUE(session.List(L"", listing));
    EXPECT_NE(listing.find(L" support      100000 "), std::wstring::npos);
}

TEST_F(AgainstService, UploadWhoseDeviceFileCannotBeOpenedLeavesTheRemoteFileAlone) {
    WriteHostFile(remoteRoot / "keep.txt", "precious");
    EXPECT_FALSE(session.StoreFile(L"\\gone.txt", L"keep.txt"));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyLocalFileFailed);
    EXPECT_EQ(ReadHostFile(remoteRoot / "keep.txt"), "precious");

    // The control connection is still in step.
    EXPECT_EQ(session.GetCurrentDir(), L"/");
}

TEST_F(AgainstService, CancelledDownloadKeepsTheDeviceFileAndTheRemoteFile) {
    WriteHostFile(remoteRoot / "big.bin", ScriptedFtpServer::Pattern(0, 50'000));
    device.WriteFile("big.bin", "old device copy");
    device.Frontend().TapBeforePump(3, {203, 286});

    session.SendCommand(L"CWD /My Device on Stowbox");
    session.ReadReply();
    EXPECT_FALSE(session.RetrieveFile(L"big.bin", L"big.bin"));
    EXPECT_EQ(device.ReadFile("big.bin"), "old device copy");
    EXPECT_EQ(device.Entries(), (std::vector<std::string>{"big.bin"}));
    EXPECT_EQ(ReadHostFile(remoteRoot / "big.bin").size(), 50'000u);
}

TEST_F(AgainstService, RemoveDirAndRenameFollowTheServersAnswers) {
    std::filesystem::create_directories(remoteRoot / "full");
    WriteHostFile(remoteRoot / "full" / "a.txt", "a");
    std::filesystem::create_directories(remoteRoot / "empty");
    session.SendCommand(L"CWD /My Device on Stowbox");
    session.ReadReply();

    EXPECT_FALSE(session.RemoveDir(L"full"));
    EXPECT_TRUE(session.RemoveDir(L"empty"));
    EXPECT_FALSE(std::filesystem::exists(remoteRoot / "empty"));

    EXPECT_FALSE(session.Rename(L"missing.txt", L"x.txt"));
    EXPECT_TRUE(session.Rename(L"full/a.txt", L"/My Device on Stowbox//b.txt"));
    EXPECT_EQ(session.GetReplyCode(), 250);
    EXPECT_EQ(ReadHostFile(remoteRoot / "b.txt"), "a");
}
