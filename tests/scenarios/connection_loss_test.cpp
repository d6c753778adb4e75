// A control connection that ends under a step: the step says so and keeps what the window
// showed, a refused reconnect says the login's words, and the step after that goes on.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/scripted_run.h"

namespace {

class ConnectionLoss : public testing_support::ScriptedRun {
  protected:
    void LogIn(const char* passReply = "230 In\r\n") {
        server.Greet()
            .Command("USER alice\r\n", "331 Password\r\n")
            .Command("PASS secret\r\n", passReply);
    }
};

TEST_F(ConnectionLoss, AnUnreadFolderNeverLooksEmptyAndTheSessionIsMended) {
    device.WriteFile("local.txt", "mine");
    LogIn();
    server.NoFeatures()
        .Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n")
        .Command("PWD\r\n", "257 \"/My Device on Stowbox\" is current\r\n")
        .Command("TYPE I\r\n", "200 Binary\r\n")
        .Expect("PASV \r\n")
        .ReplyPasv()
        .AcceptData()
        .Expect("LIST\r\n")
        .CloseControl()
        .CloseData();
    // The reconnect of the next step is refused at the log-in ...
    LogIn("530 Not now\r\n");
    // ... and the one after that works: back to the folder, then the step itself.
    LogIn();
    server.NoFeatures()
        .Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n")
        .Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n")
        .Listing("/My Device on Stowbox",
                 "-rw-r--r--   1 alice    support      5 Dec 07 12:34 a.txt\r\n")
        .Command("SIZE a.txt\r\n", "213 5\r\n")
        .Command("QUIT\r\n", "221 Bye\r\n")
        .AwaitControlClosed();
    const auto result =
        Run("type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n"
            "command ID_SHOW_REMOTE\n"
            "expect box \"Connection to the server lost\"\n"
            "expect title \"My Device\"\n"
            "expect rows 1\n"
            "expect row 0 \"local.txt\"\n"
            "command ID_SHOW_REMOTE\n"
            "expect box \"Login Failed .Check the User name and the Password \"\n"
            "expect title \"My Device\"\n"
            "expect row 0 \"local.txt\"\n"
            "command ID_SHOW_REMOTE\n"
            "expect no-box\n"
            "expect title \"Stowbox\"\n"
            "expect rows 1\n"
            "expect row 0 \"a.txt\"\n"
            "answer yes\ncommand ID_EXIT\n");
    EXPECT_EQ(result.status, 0) << result.message << '\n' << transcript.str();
    EXPECT_EQ(server.Finish().controlConnections, 3);
}

}  // namespace
