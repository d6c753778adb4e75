// Uploads are stored only when they really ended; files of unfinished ones never linger.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <optional>
#include <thread>

#include "service_test_kit.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

// Regular files below `folder`, as paths relative to it, sorted.
std::vector<std::string> FilesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    // The service may remove a file while the walk passes it: such a file is simply gone.
    std::error_code error;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder, error)) {
        std::error_code gone;
        if (item.is_regular_file(gone)) {
            files.push_back(item.path().lexically_relative(folder).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool HoldsPartialFile(const std::filesystem::path& folder) {
    const auto files = FilesBelow(folder);
    return std::any_of(files.begin(), files.end(), [](const std::string& name) {
        return name.find(".stowbox-upload-") != std::string::npos;
    });
}

class ServiceDurableUploads : public ::testing::Test {
  protected:
    TestService service{
        [](ServiceConfig& config) { config.data_timeout = std::chrono::milliseconds(2000); }};
};

TEST_F(ServiceDurableUploads, ClientGoneWhenItsDataEndsLeavesTheOldFile) {
    struct Ending {
        const char* what;
        bool reset_control;
    };
    const Ending endings[] = {{"control closed, then the data", false},
                              {"control reset, then the data", true}};
    const auto home = service.Home();
    const std::string old_bytes = PatternBytes(50000, 1);
    WriteHostFile(home / "big.bin", old_bytes);
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.what);
        std::optional<FtpClient> killed(std::in_place, service.FtpPort());
        killed->Reply();
        ASSERT_EQ(CodeOf(killed->Login()), 230);
        Fd data = killed->Passive();
        ASSERT_EQ(CodeOf(killed->Command("STOR big.bin")), 150);
        SendText(data.Get(), PatternBytes(20000, 2));
        if (ending.reset_control) {
            const linger abort_on_close{1, 0};
            ::setsockopt(killed->ControlFd(), SOL_SOCKET, SO_LINGER, &abort_on_close,
                         sizeof abort_on_close);
        }
        killed.reset();
        // Lets the control connection's end land first; the data then ends in good order,
        // as it does for a client killed mid-upload.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        data.Reset();
        const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (HoldsPartialFile(home) && std::chrono::steady_clock::now() < guard) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(ReadHostFile(home / "big.bin") == old_bytes) << "the old file was replaced";
        EXPECT_EQ(FilesBelow(home), std::vector<std::string>{"big.bin"});
    }
}

TEST_F(ServiceDurableUploads, CommandSentAheadOfTheDataEndIsNoHangUp) {
    FtpClient client(service.FtpPort());
    client.Reply();
    ASSERT_EQ(CodeOf(client.Login()), 230);
    WriteHostFile(service.Home() / "doc.txt", "old");
    const std::string bytes = PatternBytes(70000, 3);
    Fd data = client.Passive();
    ASSERT_EQ(CodeOf(client.Command("STOR doc.txt")), 150);
    SendText(data.Get(), bytes);
    SendText(client.ControlFd(), "NOOP\r\n");
    data.Reset();
    EXPECT_EQ(CodeOf(client.Reply()), 226);
    EXPECT_EQ(CodeOf(client.Reply()), 200);
    EXPECT_TRUE(ReadHostFile(service.Home() / "doc.txt") == bytes) << "not stored";
    EXPECT_EQ(FilesBelow(service.Home()), std::vector<std::string>{"doc.txt"});
}

TEST(ServiceStaleUploads, LeftoversGoAtStartUpAndNeverKeepAFolder) {
    TempFolder root("stowbox-stale-uploads");
    const auto home = root.Path() / "accounts" / "alice";
    WriteHostFile(home / ".stowbox-upload-x", "cut short");
    WriteHostFile(home / "deep" / "er" / ".stowbox-upload-AbC123", "cut short");
    WriteHostFile(home / "deep" / "kept.txt", "kept");
    WriteHostFile(root.Path() / "accounts" / "bob" / ".stowbox-upload-y", "cut short");
    TestService service([&](ServiceConfig& config) { config.root = root.Path(); });
    EXPECT_EQ(FilesBelow(root.Path() / "accounts"),
              std::vector<std::string>{"alice/deep/kept.txt"});

    FtpClient client(service.FtpPort());
    client.Reply();
    ASSERT_EQ(CodeOf(client.Login()), 230);
    WriteHostFile(home / "deep" / "er" / ".stowbox-upload-z", "cut short");
    EXPECT_EQ(CodeOf(client.Command("RMD deep/er")), 250) << "it lists as empty";
    EXPECT_FALSE(std::filesystem::exists(home / "deep" / "er"));
    WriteHostFile(home / "deep" / ".stowbox-upload-w", "cut short");
    EXPECT_EQ(CodeOf(client.Command("RMD deep")), 550) << "kept.txt is in it";
    EXPECT_EQ(ReadHostFile(home / "deep" / "kept.txt"), "kept");

    // Names of that shape are kept for the service, or the user's file would go with them.
    EXPECT_EQ(CodeOf(client.Store(".stowbox-upload-mine", "mine")), 553);
    EXPECT_EQ(CodeOf(client.Command("MKD .stowbox-upload-box")), 553);
    EXPECT_EQ(CodeOf(client.Command("RNFR deep/kept.txt")), 350);
    EXPECT_EQ(CodeOf(client.Command("RNTO deep/.stowbox-upload-kept")), 553);
    EXPECT_EQ(ReadHostFile(home / "deep" / "kept.txt"), "kept");
}

}  // namespace
}  // namespace testing_support
