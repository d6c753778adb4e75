// The same transfers against the stand-in service: what arrives on either side is exact.

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ftp/ftp_session.h"
#include "support/scripted_ftp_server.h"
#include "support/service_process.h"
#include "support/test_device.h"

using testing_support::ReadHostFile;
using testing_support::ScriptedFtpServer;
using testing_support::WriteHostFile;

namespace {

class AgainstService : public ::testing::Test {
  protected:
    AgainstService() : AgainstService(std::chrono::seconds(10)) {}
    // `timeout`: how long the client waits for a reply or a data block.
    explicit AgainstService(std::chrono::milliseconds timeout)
        : device(Options(static_cast<std::uint16_t>(service.FtpPort()), timeout)) {}
    ~AgainstService() override { Thaw(); }
    static testing_support::TestDevice::Options Options(std::uint16_t port,
                                                        std::chrono::milliseconds timeout) {
        testing_support::TestDevice::Options options;
        options.ftpPort = port;
        options.ioTimeout = timeout;
        return options;
    }
    AgainstService(const AgainstService&) = delete;
    AgainstService& operator=(const AgainstService&) = delete;

    // Stops the service's process where it stands, so that it neither reads nor writes.
    // kill() returns before the threads have stopped, so it waits until every one has.
    void Freeze() {
        ::kill(service.Pid(), SIGSTOP);
        m_frozen = true;
        for (int i = 0; i < 500 && !AllThreadsStopped(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    bool AllThreadsStopped() const {
        const std::filesystem::path tasks =
            std::filesystem::path("/proc") / std::to_string(service.Pid()) / "task";
        for (const auto& task : std::filesystem::directory_iterator(tasks)) {
            std::ifstream stat(task.path() / "stat");
            std::string line;
            std::getline(stat, line);
            // The state follows the parenthesised command name.
            const std::size_t close = line.rfind(')');
            if (close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'T') {
                return false;
            }
        }
        return true;
    }
    void Thaw() {
        if (m_frozen) {
            ::kill(service.Pid(), SIGCONT);
            m_frozen = false;
        }
    }

    testing_support::ServiceProcess service{{"alice:secret"}};
    testing_support::TestDevice device;
    CFtpSession session;
    std::filesystem::path remoteRoot = service.AccountDir("alice") / "My Device on Stowbox";
    bool m_frozen = false;

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

TEST_F(AgainstService, DownloadRemovesTheStaleTemporariesOfItsFolder) {
    WriteHostFile(remoteRoot / "a.bin", "fresh");
    device.WriteFile(".a.bin.part-0123456789abcdef", "left by a killed run");
    device.WriteFile(".other.part-fedcba9876543210", "left by a killed run");
    device.WriteFile("x.part-0123456789abcdef", "the user's own");
    session.SendCommand(L"CWD /My Device on Stowbox");
    session.ReadReply();
    EXPECT_TRUE(session.RetrieveFile(L"a.bin", L"a.bin"));
    EXPECT_EQ(device.ReadFile("a.bin"), "fresh");
    EXPECT_EQ(device.Entries(), (std::vector<std::string>{"a.bin", "x.part-0123456789abcdef"}));
}

namespace {

// A client that gives up on a silent server after three seconds (long enough for a busy
// machine to answer the log-in in time).
class StalledService : public AgainstService {
  protected:
    StalledService() : AgainstService(std::chrono::seconds(3)) {}

    // Names of uploads the service still holds open in the remote root.
    bool UploadPending() const {
        for (const auto& entry : std::filesystem::directory_iterator(remoteRoot)) {
            if (entry.path().filename().string().starts_with(".stowbox-upload-")) {
                return true;
            }
        }
        return false;
    }
};

// More than the connections' buffers hold, so that a stalled service stops the transfer.
constexpr std::size_t kBeyondBuffers = 32 << 20;

}  // namespace

TEST_F(StalledService, SilentServiceCostsOneWaitThenEveryCommandFailsAtOnce) {
    Freeze();
    EXPECT_EQ(session.GetCurrentDir(), L"");
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyConnectionLost);
    EXPECT_FALSE(session.SendCommand(L"CWD /"));
    std::wstring listing = L"unchanged";
    EXPECT_FALSE(session.List(L"", listing));
    EXPECT_EQ(listing, L"unchanged");
    EXPECT_FALSE(session.Quit());
    Thaw();
    ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
    EXPECT_TRUE(session.Login(L"alice", L"secret"));
}

TEST_F(StalledService, DownloadCutShortKeepsTheDeviceFile) {
    WriteHostFile(remoteRoot / "big.bin", ScriptedFtpServer::Pattern(0, kBeyondBuffers));
    device.WriteFile("big.bin", "old device copy");
    device.Frontend().RunBeforePump(3, [this] { Freeze(); });
    session.SendCommand(L"CWD /My Device on Stowbox");
    session.ReadReply();
    EXPECT_FALSE(session.RetrieveFile(L"big.bin", L"big.bin"));
    EXPECT_EQ(device.ReadFile("big.bin"), "old device copy");
    EXPECT_EQ(device.Entries(), (std::vector<std::string>{"big.bin"}));
}

TEST_F(StalledService, UploadCutShortIsNotStored) {
    WriteHostFile(remoteRoot / "keep.bin", "precious");
    device.WriteFile("keep.bin", ScriptedFtpServer::Pattern(0, kBeyondBuffers));
    device.Frontend().RunBeforePump(3, [this] { Freeze(); });
    EXPECT_FALSE(session.StoreFile(L"\\keep.bin", L"keep.bin"));
    Thaw();
    // The service takes what reached it, then learns how the data connection ended.
    for (int i = 0; i < 2000 && UploadPending(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(UploadPending());
    EXPECT_EQ(ReadHostFile(remoteRoot / "keep.bin"), "precious");
}
