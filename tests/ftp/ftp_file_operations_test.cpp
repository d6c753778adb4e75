// RMD, and RNFR with RNTO.

#include "ftp_fixture.h"

namespace {

using FileOperations = GreetedFtpTest;

TEST_F(FileOperations, RemoveDirIsTrueOnlyOn250) {
    server.Command("RMD full\r\n", "550 Directory not empty\r\n")
        .Command("RMD /My Device on Stowbox/old\r\n", "250 Directory removed\r\n");
    StartAndConnect();
    EXPECT_FALSE(session.RemoveDir(L""));
    EXPECT_EQ(session.GetReplyCode(), 220);  // nothing sent, nothing read
    EXPECT_FALSE(session.RemoveDir(L"full"));
    EXPECT_EQ(session.GetReplyCode(), 550);
    EXPECT_EQ(session.GetReplyText(), L"550 Directory not empty\r\n");
    EXPECT_TRUE(session.RemoveDir(L"/My Device on Stowbox/old"));
    ExpectScriptRan();
}

TEST_F(FileOperations, RenameSendsRntoOnlyAfter350AndLeavesItsReplyToTheCaller) {
    server.Command("RNFR missing.txt\r\n", "550 No such file\r\n")
        .Command("RNFR a.txt\r\n", "350 Ready for RNTO\r\n")
        .Command("RNTO /locked/a.txt\r\n", "553 Not allowed\r\n")
        .Command("RNFR a.txt\r\n", "350 Ready for RNTO\r\n")
        .Command("RNTO b.txt\r\n", "250 Renamed\r\n");
    StartAndConnect();
    EXPECT_FALSE(session.Rename(L"", L"b.txt"));
    EXPECT_FALSE(session.Rename(L"a.txt", L""));
    EXPECT_EQ(session.GetReplyCode(), 220);
    EXPECT_FALSE(session.Rename(L"missing.txt", L"b.txt"));
    EXPECT_EQ(session.GetReplyCode(), 550);
    EXPECT_TRUE(session.Rename(L"a.txt", L"/locked/a.txt"));
    EXPECT_EQ(session.GetReplyCode(), 553);
    EXPECT_TRUE(session.Rename(L"a.txt", L"b.txt"));
    EXPECT_EQ(session.GetReplyCode(), 250);
    ExpectScriptRan();
}

}  // namespace
