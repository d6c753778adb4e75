// Transfers whose data connection breaks, stalls, never opens or will not end: none of them
// counts as done, whatever the server says afterwards. And the other preliminary reply, 125.

#include <functional>
#include <vector>

#include "ftp_fixture.h"
#include "platform/text/codepage.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ScriptedFtpServer;

class BrokenTransfer : public FtpTest {
  protected:
    BrokenTransfer() : FtpTest(300ms) { server.Greet(); }

    // A PASV reply naming a port where nobody listens.
    static std::string PasvToNowhere() {
        std::uint16_t port = 0;
        {
            const ScriptedFtpServer gone;  // its ports are free again afterwards
            port = gone.Port();
        }
        return "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," +
               std::to_string(port % 256) + ")\r\n";
    }

    // The data connection's trouble after the server opened the transfer.
    struct Trouble {
        const char* what;
        bool opens;  // the data connection comes about
        std::function<void(ScriptedFtpServer&)> steps;
    };
    static std::vector<Trouble> Troubles(const std::string& firstBytes) {
        return {
            {"reset", true, [=](auto& s) { s.SendData(firstBytes).ResetData(); }},
            {"stall", true, [=](auto& s) { s.SendData(firstBytes).StallData(); }},
            {"never opened", false, [](auto&) {}},
        };
    }

    void ScriptTransfer(const Trouble& trouble, const std::string& command) {
        server.Command("TYPE I\r\n", "200 Type set to I\r\n");
        if (command.starts_with("STOR ")) {
            server.Command("SIZE " + command.substr(5, command.size() - 7) + "\r\n",
                           "550 No such file\r\n");
        }
        if (trouble.opens) {
            server.Expect("PASV \r\n").ReplyPasv();
        } else {
            server.Command("PASV \r\n", PasvToNowhere());
        }
        server.Command(command, "150 Opening data connection\r\n");
        if (trouble.opens) {
            server.AcceptData();
        }
        trouble.steps(server);
        server.Reply("226 Transfer complete\r\n");  // as if nothing had happened
    }
};

TEST_F(BrokenTransfer, DownloadThatDidNotArriveWholeLeavesTheDeviceFileAlone) {
    device.WriteFile("b.bin", "old");
    const auto troubles = Troubles("partial");
    for (const auto& trouble : troubles) {
        ScriptTransfer(trouble, "RETR b.bin\r\n");
    }
    server.Command("NOOP\r\n", "200 Still in step\r\n");
    StartAndConnect();
    for (const auto& trouble : troubles) {
        SCOPED_TRACE(trouble.what);
        EXPECT_FALSE(session.RetrieveFile(L"b.bin", L"b.bin"));
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyTransferAborted);
        EXPECT_EQ(device.ReadFile("b.bin"), "old");
        EXPECT_THAT(device.Entries(), ::testing::ElementsAre("b.bin"));
    }
    EXPECT_TRUE(session.SendCommand(L"NOOP"));
    EXPECT_EQ(session.ReadReply(), L"200 Still in step\r\n");
    // The stalled connection was reset, not closed as if all had come.
    EXPECT_TRUE(ExpectScriptRan().dataEndedByReset);
}

TEST_F(BrokenTransfer, UploadThatCouldNotSendEverythingIsResetAndDeleted) {
    // More than the connection's buffers hold, so that a stalled server blocks the sending.
    device.WriteFile("big.bin", ScriptedFtpServer::Pattern(0, 32 << 20));
    const auto troubles = Troubles("");
    for (const auto& trouble : troubles) {
        ScriptTransfer(trouble, "STOR /My Device on Stowbox/big.bin\r\n");
        if (trouble.opens) {
            server.Command("DELE /My Device on Stowbox/big.bin\r\n", "250 Deleted\r\n");
        }  // else nothing was sent, and the remote file stays
    }
    server.Command("NOOP\r\n", "200 Still in step\r\n");
    StartAndConnect();
    for (const auto& trouble : troubles) {
        SCOPED_TRACE(trouble.what);
        EXPECT_FALSE(session.StoreFile(L"big.bin", L"big.bin"));
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyTransferAborted);
    }
    EXPECT_TRUE(session.SendCommand(L"NOOP"));
    EXPECT_EQ(session.ReadReply(), L"200 Still in step\r\n");
    EXPECT_TRUE(ExpectScriptRan().dataEndedByReset);
    EXPECT_THAT(device.Entries(), ::testing::ElementsAre("big.bin"));
}

TEST_F(BrokenTransfer, ListingThatDoesNotEndInOrderFailsAsARefusedOne) {
    const std::string line = "-rw-r--r--   1 bob      support      5 Dec 07 12:34 a.txt\r\n";
    auto troubles = Troubles(line);
    // An endless listing: beyond 64 MiB the client stops taking it.
    troubles.push_back(
        {"endless", true, [](auto& s) { s.SendDataOversized(65 << 20).CloseData(); }});
    for (const auto& trouble : troubles) {
        ScriptTransfer(trouble, "LIST\r\n");
    }
    server.Command("NOOP\r\n", "200 Still in step\r\n");
    StartAndConnect();
    for (const auto& trouble : troubles) {
        SCOPED_TRACE(trouble.what);
        std::wstring listing = L"unchanged";
        EXPECT_FALSE(session.List(L"", listing));
        EXPECT_EQ(listing, L"unchanged");
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyTransferAborted);
    }
    EXPECT_TRUE(session.SendCommand(L"NOOP"));
    EXPECT_EQ(session.ReadReply(), L"200 Still in step\r\n");
    ExpectScriptRan();
}

TEST_F(BrokenTransfer, Reply125StartsATransferAs150Does) {
    const std::string listing = "drwxr-xr-x   2 bob      staff        4096 Dec 07 12:34 d\r\n";
    const std::string bytes = ScriptedFtpServer::Pattern(0, 5000);
    const std::string opened = "125 Data connection already open. Transfer starting.\r\n";
    device.WriteFile("up.bin", bytes);
    ScriptPassive();
    server.Command("LIST\r\n", opened)
        .AcceptData()
        .SendData(listing)
        .CloseData()
        .Reply("226 Done\r\n");
    ScriptPassive();
    server.Command("RETR down.bin\r\n", opened)
        .AcceptData()
        .SendData(bytes)
        .CloseData()
        .Reply("226 Done\r\n");
    ScriptUploadPassive("/My Device on Stowbox/up.bin");
    server.Command("STOR /My Device on Stowbox/up.bin\r\n", opened)
        .AcceptData()
        .ReceiveData()
        .Reply("226 Done\r\n")
        .Command("PWD\r\n", "257 \"/\" is the current directory\r\n");
    StartAndConnect();
    std::wstring text;
    EXPECT_TRUE(session.List(L"", text));
    EXPECT_EQ(text, platform::text::FromAnsi(listing));
    EXPECT_TRUE(session.RetrieveFile(L"down.bin", L"down.bin"));
    EXPECT_EQ(device.ReadFile("down.bin"), bytes);
    EXPECT_TRUE(session.StoreFile(L"up.bin", L"up.bin"));
    EXPECT_EQ(session.GetCurrentDir(), L"/");
    EXPECT_EQ(ExpectScriptRan().dataReceived, bytes);
}

}  // namespace
