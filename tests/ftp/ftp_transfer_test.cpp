// Listings, uploads and downloads that run to their end.

#include "ftp_fixture.h"
#include "platform/text/codepage.h"

namespace {

using testing_support::ScriptedFtpServer;

using Transfer = GreetedFtpTest;

TEST_F(Transfer, ListingArrivingInSeveralBlocksIsJoinedInOrder) {
    const std::string first =
        "drwxr-xr-x 1 owner group          0 Jan 01 10:00 Caf\xE9 \x80 folder\r\n" +
        std::string(300, 'a') + "\r\n";
    const std::string second = "-rw-r--r-- 1 owner group        512 Jan 01 10:00 b.txt\r\n";
    ScriptPassive();
    server.Command("LIST\r\n", "150 Here comes the listing\r\n")
        .AcceptData()
        .SendData(first)
        .SendData(second)
        .SendData(std::string(600, 'z'))
        .CloseData()
        .Reply("226 Directory send OK\r\n");
    StartAndConnect();

    std::wstring listing = L"stale";
    EXPECT_TRUE(session.List(L"ignored folder", listing));
    const std::wstring expected = platform::text::FromAnsi(first + second + std::string(600, 'z'));
    EXPECT_EQ(listing, expected);
    EXPECT_EQ(device.Frontend().PumpCount(), 0);  // listings make no cancel checks
    ExpectScriptRan();
}

TEST_F(Transfer, ListingEndedOtherThan226StillGivesTheText) {
    ScriptDownload("LIST\r\n", "one line\r\n", "451 Aborted\r\n");
    StartAndConnect();
    std::wstring listing;
    EXPECT_FALSE(session.List(L"", listing));
    EXPECT_EQ(listing, L"one line\r\n");
    EXPECT_EQ(session.GetReplyCode(), 451);
    ExpectScriptRan();
}

TEST_F(Transfer, UploadsGoBelowTheRemoteRootUnlessStoredInPlace) {
    const std::string bytes = ScriptedFtpServer::Pattern(0, 1000);
    device.WriteFile("docs/a.bin", bytes);
    device.WriteFile("empty.txt", "");
    ScriptUpload("STOR /My Device on Stowbox/a.bin\r\n");
    ScriptUpload("STOR a.bin\r\n");
    ScriptUpload("STOR /My Device on Stowbox/empty.txt\r\n");
    StartAndConnect();

    EXPECT_TRUE(session.StoreFile(L"\\docs\\a.bin", L"a.bin"));
    EXPECT_EQ(device.Frontend().PumpCount(), 5);  // four blocks of up to 256 bytes, then the end
    EXPECT_TRUE(session.StoreFile(L"\\docs\\a.bin", L"a.bin", CFtpSession::PriorRemoteFile::Unknown,
                                  CFtpSession::StoreTarget::CurrentFolder));
    EXPECT_TRUE(session.StoreFile(L"\\empty.txt", L"empty.txt"));
    EXPECT_EQ(session.GetReplyCode(), 226);

    const auto& result = ExpectScriptRan();
    EXPECT_EQ(result.dataReceived, bytes + bytes);
    EXPECT_EQ(result.dataConnections, 3);
}

// The file is read ahead in large pieces, but the blocks stay those of one 256-byte read
// each: the same cancel checks, also across the read-ahead's boundaries.
TEST_F(Transfer, UploadBlocksStayAtTwoHundredFiftySixBytesAcrossReadAhead) {
    const std::size_t sizes[] = {255, 256, 65535, 65536, 65537, 2 * 65536 + 300};
    std::string expected;
    for (const std::size_t size : sizes) {
        device.WriteFile("f" + std::to_string(size), ScriptedFtpServer::Pattern(size, size));
        ScriptUpload("STOR f" + std::to_string(size) + "\r\n");
        expected += ScriptedFtpServer::Pattern(size, size);
    }
    StartAndConnect();
    for (const std::size_t size : sizes) {
        const int before = device.Frontend().PumpCount();
        EXPECT_TRUE(session.StoreFile(L"\\f" + std::to_wstring(size), L"f" + std::to_wstring(size),
                                      CFtpSession::PriorRemoteFile::Unknown,
                                      CFtpSession::StoreTarget::CurrentFolder));
        EXPECT_EQ(device.Frontend().PumpCount() - before, static_cast<int>((size + 255) / 256) + 1)
            << size;
    }
    EXPECT_EQ(ExpectScriptRan().dataReceived, expected);
}

TEST_F(Transfer, DownloadWritesExactlyTheBytesReceived) {
    // Zero bytes, bytes above 127, and more than one write buffer's worth.
    const std::string bytes =
        std::string("\0\x01\x7F\x80\xFF\r\n\0", 8) + ScriptedFtpServer::Pattern(0, 70000);
    device.WriteFile("b.bin", "an older file of that name");
    ScriptDownload("RETR b.bin\r\n", bytes);
    ScriptDownload("RETR /pub/c.bin\r\n", "");
    StartAndConnect();

    EXPECT_TRUE(session.RetrieveFile(L"b.bin", L"b.bin"));
    EXPECT_EQ(device.ReadFile("b.bin"), bytes);
    // A remote path may go to any device path the caller names.
    std::filesystem::create_directory(device.Root() / "Docs");
    EXPECT_TRUE(session.RetrieveFile(L"/pub/c.bin", L"\\Docs\\c.bin"));
    EXPECT_EQ(device.ReadFile("Docs/c.bin"), "");
    EXPECT_THAT(device.Entries(), ::testing::ElementsAre("Docs", "b.bin"));
    ExpectScriptRan();
}

TEST_F(Transfer, DataGoesToTheControlConnectionsPeerWhateverAddressPasvNames) {
    // 127.0.0.2 is loopback too, but the server listens on 127.0.0.1 only.
    ScriptPassive("127,0,0,2");
    server.Command("RETR b.bin\r\n", "150 Opening\r\n")
        .AcceptData()
        .SendData("data")
        .CloseData()
        .Reply("226 Done\r\n");
    StartAndConnect();
    EXPECT_TRUE(session.RetrieveFile(L"b.bin", L"b.bin"));
    EXPECT_EQ(device.ReadFile("b.bin"), "data");
    EXPECT_EQ(ExpectScriptRan().dataConnections, 1);
}

}  // namespace
