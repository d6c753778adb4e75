// Transfers that fail: every row of the failure table, and the device files they leave.

#include <sys/resource.h>

#include <csignal>

#include "ftp_fixture.h"
#include "platform/text/codepage.h"

namespace {

using testing_support::ScriptedFtpServer;
using TransferFailure = GreetedFtpTest;

const std::string kAborted = "426 Connection closed; transfer aborted\r\n";

TEST(TransferWithoutDataSocket, StopsAfterPasvWith5001) {
    ScriptedFtpServer server;
    server.Greet();
    for (int i = 0; i < 3; ++i) {
        server.Command("TYPE I\r\n", "200 Type set to I\r\n");
        if (i == 1) {  // the upload asks whether its path holds a file
            server.Command("SIZE /My Device on Stowbox/a.txt\r\n", "550 No such file\r\n");
        }
        server.Expect("PASV \r\n").ReplyPasv();
    }
    server.Start();
    // The control connection comes from a device whose network started; then a device whose
    // network did not takes its place, so that the data socket cannot be made.
    testing_support::TestDevice connecting;
    CFtpSession session;
    ASSERT_TRUE(session.Connect(L"127.0.0.1", server.Port()));
    testing_support::TestDevice::Options options;
    options.startNetwork = false;
    testing_support::TestDevice device(options);
    device.WriteFile("a.txt", "abc");

    std::wstring listing = L"unchanged";
    EXPECT_FALSE(session.List(L"", listing));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyDataSocketFailed);
    EXPECT_EQ(listing, L"unchanged");
    EXPECT_FALSE(session.StoreFile(L"a.txt", L"a.txt"));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyDataSocketFailed);
    EXPECT_FALSE(session.RetrieveFile(L"b.txt", L"b.txt"));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyDataSocketFailed);

    const auto& result = server.Finish();
    EXPECT_EQ(result.transcript, server.ExpectedTranscript());
    EXPECT_THAT(result.problems, ::testing::IsEmpty());
    EXPECT_EQ(result.dataConnections, 0);
    EXPECT_THAT(device.Entries(), ::testing::ElementsAre("a.txt"));
}

TEST_F(TransferFailure, RefusedCommandClosesTheDataConnection) {
    for (const std::string command :
         {"LIST\r\n", "STOR /My Device on Stowbox/a.txt\r\n", "RETR b.txt\r\n"}) {
        if (command.starts_with("STOR ")) {
            ScriptUploadPassive("/My Device on Stowbox/a.txt");
        } else {
            ScriptPassive();
        }
        // ReceiveData ends only when the client has closed its side.
        server.Command(command, "550 Permission denied\r\n").AcceptData().ReceiveData();
    }
    device.WriteFile("a.txt", "abc");
    device.WriteFile("b.txt", "old");
    StartAndConnect();

    std::wstring listing = L"unchanged";
    EXPECT_FALSE(session.List(L"", listing));
    EXPECT_EQ(listing, L"unchanged");
    EXPECT_FALSE(session.StoreFile(L"a.txt", L"a.txt"));
    EXPECT_FALSE(session.RetrieveFile(L"b.txt", L"b.txt"));
    EXPECT_EQ(session.GetReplyCode(), 550);
    EXPECT_EQ(device.ReadFile("b.txt"), "old");
    ExpectScriptRan();
}

TEST_F(TransferFailure, PasvReplyWithoutSixByteNumbersOpensNoConnection) {
    const std::uint16_t port = server.DataPort();
    const std::string high = std::to_string(port / 256);
    const std::string low = std::to_string(port % 256);
    // The second form names the data port if 256 were taken as a byte.
    for (const std::string& reply : {std::string("227 Entering Passive Mode\r\n"),
                                     "227 Entering Passive Mode (127,0,0,1," +
                                         std::to_string(port / 256 + 256) + "," + low + ")\r\n",
                                     "227 Entering Passive Mode (127,0,0,1," + high + ")\r\n"}) {
        server.Command("TYPE I\r\n", "200 Type set to I\r\n")
            .Command("PASV \r\n", reply)
            .Command("LIST\r\n", "425 Use PASV first\r\n");
    }
    StartAndConnect();
    for (int i = 0; i < 3; ++i) {
        std::wstring listing;
        EXPECT_FALSE(session.List(L"", listing));
        EXPECT_EQ(session.GetReplyCode(), 425);
    }
    const auto& result = ExpectScriptRan();
    EXPECT_EQ(result.dataConnections, 0);
    EXPECT_FALSE(result.dataConnectionWaiting);
}

TEST_F(TransferFailure, UploadOfAMissingLocalFileReadsTheReplyAndGives5004) {
    ScriptUpload("STOR /My Device on Stowbox/missing.txt\r\n", kAborted);
    StartAndConnect();
    EXPECT_FALSE(session.StoreFile(L"\\missing.txt", L"missing.txt"));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyLocalFileFailed);
    EXPECT_EQ(ExpectScriptRan().dataReceived, "");  // and no DELE: nothing was stored
}

TEST_F(TransferFailure, DownloadRefusesLocalNamesThatCannotBeCreated) {
    std::filesystem::create_directory(device.Root() / "sub");
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"b.bin", L"\\no such folder\\b.bin"},
        {L"b.bin", L"\\sub"},          // a folder
        {L"b.bin", L"\\sub\\"},        // no file name
        {L"../b.bin", L"../b.bin"},    // leaves the device root
        {L"sub/b.bin", L"sub/b.bin"},  // a remote name used as local name must be bare
        {L"sub\\b.bin", L"sub\\b.bin"},
        {L"..", L".."},
    };
    for (const auto& [remote, local] : cases) {
        ScriptPassive();
        server.Expect("RETR " + platform::text::ToAnsi(remote) + "\r\n")
            .Reply("150 Opening\r\n")
            .AcceptData()
            .SendData("payload")
            .ReceiveData()
            .Reply(kAborted);
    }
    StartAndConnect();
    for (const auto& [remote, local] : cases) {
        EXPECT_FALSE(session.RetrieveFile(remote, local)) << testing::PrintToString(local);
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyLocalFileFailed);
    }
    ExpectScriptRan();
    EXPECT_THAT(device.Entries(), ::testing::ElementsAre("sub"));
    EXPECT_THAT(device.Entries("sub"), ::testing::IsEmpty());
}

TEST_F(TransferFailure, FinalReplyOtherThan226FailsAndKeepsTheDeviceFile) {
    device.WriteFile("b.bin", "old");
    device.WriteFile("a.bin", "abc");
    ScriptDownload("RETR b.bin\r\n", "new bytes", "451 Local error in processing\r\n");
    ScriptUpload("STOR /My Device on Stowbox/a.bin\r\n", "552 Quota exceeded\r\n");
    StartAndConnect();
    EXPECT_FALSE(session.RetrieveFile(L"b.bin", L"b.bin"));
    EXPECT_EQ(session.GetReplyCode(), 451);
    EXPECT_FALSE(session.StoreFile(L"a.bin", L"a.bin"));
    EXPECT_EQ(session.GetReplyCode(), 552);
    ExpectScriptRan();  // no DELE after a complete upload
    EXPECT_EQ(device.ReadFile("b.bin"), "old");
    EXPECT_THAT(device.Entries(), ::testing::ElementsAre("a.bin", "b.bin"));
}

// Makes writes of regular files beyond `bytes` fail while it lives.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit m_previous{};
    void (*m_previousHandler)(int);
};

TEST_F(TransferFailure, DownloadThatCannotBeWrittenFailsWith5004AndLeavesNoPartialFile) {
    device.WriteFile("b.bin", "old");
    ScriptDownload("RETR b.bin\r\n", ScriptedFtpServer::Pattern(0, 1000));
    StartAndConnect();
    bool retrieved = true;
    {
        const FileSizeLimit limit(500);
        retrieved = session.RetrieveFile(L"b.bin", L"b.bin");
    }
    EXPECT_FALSE(retrieved);
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyLocalFileFailed);
    ExpectScriptRan();
    EXPECT_EQ(device.ReadFile("b.bin"), "old");
    EXPECT_THAT(device.Entries(), ::testing::ElementsAre("b.bin"));
}

}  // namespace
