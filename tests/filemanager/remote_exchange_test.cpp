// The Remote view's exact exchange with the server, against a scripted FTP server.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "app/globals.h"
#include "support/scripted_run.h"

namespace {

class RemoteExchange : public testing_support::ScriptedRun {};

const char* const kLogin =
    "type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n";
const char* const kExit = "answer yes\ncommand ID_EXIT\n";

TEST_F(RemoteExchange, MissingRootIsMadeAndEachFileSizedOnce) {
    server.Greet()
        .Command("USER alice\r\n", "331 Password\r\n")
        .Command("PASS secret\r\n", "230 In\r\n")
        .NoFeatures()
        .Command("CWD /My Device on Stowbox\r\n", "550 No such folder\r\n")
        .Command("MKD My Device on Stowbox\r\n", "257 \"/My Device on Stowbox\" created\r\n")
        .Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n");
    server.Listing("/My Device on Stowbox",
                   "-rw-r--r--   1 alice    support      2048 Dec 07 12:34 b.txt\r\n"
                   "drwxr-xr-x   2 alice    support      4096 Dec 07 12:34 Music\r\n"
                   "-rw-r--r--   1 alice    support      5 Dec 07 12:34 a b.txt\r\n"
                   "-rw-r--r--   1 alice    support      5 Dec 07 12:34 no-line-feed.txt\r");
    server.Command("SIZE b.txt\r\n", "213 2048\r\n")
        .Command("SIZE a b.txt\r\n", "550 No such file\r\n")
        .Command("QUIT\r\n", "221 Bye\r\n")
        .AwaitControlClosed();
    const auto result = Run(std::string(kLogin) +
                            "command ID_SHOW_REMOTE\n"
                            "expect title \"Stowbox\"\n"
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
                            "expect rows 3\n"
                            "expect row 0 \"Music\" \"\" \"1\"\n"
                            "expect row 1 \"b.txt\" \"2KB\" \"2\"\n"
                            "expect row 2 \"a b.txt\" \"0\" \"2\"\n" +
                            kExit);
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(theApp.m_strRemoteDir, L"/My Device on Stowbox");
    EXPECT_EQ(theApp.m_strCurrentView, L"Remote");
    EXPECT_EQ(theApp.m_strActiveView, L"RemoteView");
}

TEST_F(RemoteExchange, RefusedListShowsNothingRatherThanTheLastFolder) {
    server.Greet()
        .Command("USER alice\r\n", "331 Password\r\n")
        .Command("PASS secret\r\n", "230 In\r\n")
        .NoFeatures()
        .Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n");
    server.Listing("/My Device on Stowbox",
                   "drwxr-xr-x   2 alice    support      4096 Dec 07 12:34 Music\r\n");
    server.Command("CWD /\r\n", "250 OK\r\n")
        .Command("PWD\r\n", "257 \"/\" is current\r\n")
        .Command("TYPE I\r\n", "200 Binary\r\n")
        .Expect("PASV \r\n")
        .ReplyPasv()
        .AcceptData()
        .Command("LIST\r\n", "450 Cannot list now\r\n")
        .CloseData()
        .Command("CWD /\r\n", "250 OK\r\n")
        .Command("QUIT\r\n", "221 Bye\r\n")
        .AwaitControlClosed();
    const auto result = Run(std::string(kLogin) +
                            "command ID_SHOW_REMOTE\n"
                            "expect rows 1\n"
                            "command ID_SHOW_ACCOUNT_TOP\n"
                            "expect title \"Stowbox\"\n"
                            "expect rows 0\n"
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
                            "expect visible ID_DELETE ID_NEW_FOLDER ID_DOWNLOAD\n"
                            "expect hidden ID_UPLOAD\n" +
                            kExit);
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(theApp.m_strRemoteListing, L"");
}

// The upload's commands leave before the answers they do not depend on. A small file goes
// out whole before its STOR is answered (this server answers only after the data ended).
// From the second file on, the CWD to the root goes with the file's own commands; when the
// root went away meanwhile, the refused file goes up again into the root made anew, as for a
// fresh account.
TEST_F(RemoteExchange, UploadSendsAheadAndMendsARootThatWentAway) {
    device.WriteFile("a.txt", "alpha");
    device.WriteFile("b.txt", "beta");
    const std::string root = "/My Device on Stowbox";
    server.Greet()
        .Command("USER alice\r\n", "331 Password\r\n")
        .Command("PASS secret\r\n", "230 In\r\n")
        .NoFeatures()
        .Command("CWD " + root + "\r\n", "250 OK\r\n")
        .Command("PWD\r\n", "257 \"" + root + "\" is current\r\n")
        .Command("TYPE I\r\n", "200 Binary\r\n")
        .Command("SIZE " + root + "/a.txt\r\n", "550 No such file\r\n")
        .Expect("PASV \r\n")
        .ReplyPasv()
        .Expect("STOR " + root + "/a.txt\r\n")
        .AcceptData()
        .ReceiveData()
        .Reply("150 Ok\r\n226 Stored\r\n");
    // Every line is read before the first is answered.
    server.Expect("CWD " + root + "\r\n")
        .Expect("PWD\r\n")
        .Expect("TYPE I\r\n")
        .Expect("SIZE " + root + "/b.txt\r\n")
        .Expect("PASV \r\n")
        .Expect("STOR " + root + "/b.txt\r\n")
        .Reply("550 No such folder\r\n257 \"/\" is current\r\n200 Binary\r\n550 No such file\r\n")
        .ReplyPasv()
        .Reply("553 No such folder\r\n")
        .AcceptData()
        .ReceiveData()  // what went ahead of the refusal is dropped
        .Command("CWD " + root + "\r\n", "550 No such folder\r\n")
        .Command("MKD My Device on Stowbox\r\n", "257 Created\r\n")
        .Command("CWD " + root + "\r\n", "250 OK\r\n")
        .Command("PWD\r\n", "257 \"" + root + "\" is current\r\n")
        .Command("TYPE I\r\n", "200 Binary\r\n")
        .Command("SIZE " + root + "/b.txt\r\n", "550 No such file\r\n")
        .Expect("PASV \r\n")
        .ReplyPasv()
        .Command("STOR " + root + "/b.txt\r\n", "150 Ok\r\n")
        .AcceptData()
        .ReceiveData()
        .Reply("226 Stored\r\n")
        .Command("QUIT\r\n", "221 Bye\r\n")
        .AwaitControlClosed();
    const auto result = Run(std::string(kLogin) +
                            "expect row 0 \"a.txt\"\n"
                            "check 0\n"
                            "check 1\n"
                            "command ID_UPLOAD\n"
                            "expect box \"File Upload Completed\"\n" +
                            kExit);
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(server.Finish().dataReceived, "alphabetabeta");
}

}  // namespace
