// What a hostile name or server cannot make the session do: send a second command inside a
// name, take a short download for a whole file, or delete a remote file it did not make.

#include "ftp/announced_size.h"
#include "ftp_fixture.h"

namespace {

using Hostile = GreetedFtpTest;

TEST_F(Hostile, ANameWithCrLfOrNulIsNeverSentAndTheSessionStaysInStep) {
    const std::vector<std::wstring> names = {L"x\r\nDELE keep.txt", L"a\rb", L"a\nb",
                                             std::wstring(L"a\0b", 3)};
    for (std::size_t i = 0; i < names.size(); ++i) {
        server.Command("NOOP\r\n", "200 A\r\n").Command("NOOP\r\n", "200 B\r\n");
    }
    server.Command("NOOP\r\n", "200 Still in step\r\n");
    device.WriteFile("a.txt", "abc");
    StartAndConnect();
    for (const std::wstring& name : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        EXPECT_FALSE(session.SendCommand(L"DELE " + name));
        EXPECT_EQ(session.ReadReply(), L"");
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyCommandRefused);
        EXPECT_FALSE(session.StoreFile(L"a.txt", name));
        EXPECT_FALSE(session.RetrieveFile(name, L"b.txt"));
        EXPECT_FALSE(session.Rename(L"a.txt", name));
        EXPECT_FALSE(session.Rename(name, L"a.txt"));
        EXPECT_FALSE(session.RemoveDir(name));
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyCommandRefused);
        // In a pipelined run the refused command takes its place and the others go.
        const auto replies = session.ExchangePipelined({L"NOOP", L"SIZE " + name, L"NOOP"});
        EXPECT_EQ(replies, (std::vector<std::wstring>{L"200 A\r\n", L"", L"200 B\r\n"}));
    }
    EXPECT_TRUE(session.SendCommand(L"NOOP\r\n"));
    EXPECT_EQ(session.ReadReply(), L"200 Still in step\r\n");
    EXPECT_THAT(device.Entries(), ::testing::ElementsAre("a.txt"));
}

TEST_F(Hostile, ADownloadShorterOrLongerThanAnnouncedIsBrokenWhateverTheFinalReply) {
    const std::string bytes = testing_support::ScriptedFtpServer::Pattern(0, 1000);
    for (const char* announced : {"(100000 bytes)", "(999 bytes)", "(1000 bytes)"}) {
        ScriptPassive();
        server.Command("RETR b.bin\r\n", std::string("150 Opening b.bin ") + announced + "\r\n")
            .AcceptData()
            .SendData(bytes)
            .CloseData()
            .Reply("226 Transfer complete\r\n");
    }
    device.WriteFile("b.bin", "old");
    StartAndConnect();
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(session.RetrieveFile(L"b.bin", L"b.bin"));
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyTransferAborted);
        EXPECT_EQ(device.ReadFile("b.bin"), "old");
        EXPECT_THAT(device.Entries(), ::testing::ElementsAre("b.bin"));
    }
    EXPECT_TRUE(session.RetrieveFile(L"b.bin", L"b.bin"));
    EXPECT_EQ(device.ReadFile("b.bin"), bytes);
}

TEST_F(Hostile, AFailedUploadRemovesOnlyAFileItMadeItself) {
    // A file was there (213) or the server cannot tell (502): left alone. None was (550):
    // the partial file goes.
    device.WriteFile("a.bin", testing_support::ScriptedFtpServer::Pattern(0, 2000));
    for (const char* sizeReply : {"213 70000\r\n", "502 SIZE not understood\r\n", "550 None\r\n"}) {
        ScriptUploadPassive("/My Device on Stowbox/a.bin", sizeReply);
        server.Command("STOR /My Device on Stowbox/a.bin\r\n", "150 Ok to send data\r\n")
            .AcceptData()
            .ReceiveData()
            .Reply("426 Transfer aborted\r\n");
    }
    server.Command("DELE /My Device on Stowbox/a.bin\r\n", "250 Deleted\r\n");
    StartAndConnect();
    for (int i = 1; i <= 3; ++i) {
        // Counted across transfers: two blocks of each go out, then the tap.
        device.Frontend().TapBeforePump(3 * i, {200, 290});
        EXPECT_FALSE(session.StoreFile(L"a.bin", L"a.bin"));
    }
}

TEST(AnnouncedSize, TakesTheLastByteCountOfThe150Reply) {
    const std::vector<std::pair<std::wstring, std::optional<std::uint64_t>>> cases = {
        {L"150 Opening BINARY mode data connection for a (5 bytes).txt (1234 bytes).\r\n", 1234},
        {L"150 Sending (12 BYTES)\r\n", 12},
        {L"150 Sending (0 bytes)\r\n", 0},
        {L"150 File status okay. About to open data connection.\r\n", std::nullopt},
        {L"150 Sending (12bytes)\r\n", std::nullopt},
        {L"150 Sending (-1 bytes)\r\n", std::nullopt},
        {L"150 Sending (99999999999999999999 bytes)\r\n", std::nullopt},
        {L"150 Sending (18446744073709551615 bytes)\r\n", 18446744073709551615ULL},
    };
    for (const auto& [reply, size] : cases) {
        EXPECT_EQ(ftp::AnnouncedSize(reply), size) << testing::PrintToString(reply);
    }
}

}  // namespace
