// Start-up and the login dialog against a scripted FTP server: what goes on the wire and what
// a person sees.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "app/globals.h"
#include "support/scripted_run.h"

namespace {

using Login = testing_support::ScriptedRun;

const char* const kLoginAlice = "type 1001 \"alice\"\ntype 1002 \"secret\"\nclick 1003\n";

}  // namespace

TEST_F(Login, SuccessOpensTheFileManagerAndExitSendsQuit) {
    server.Greet()
        .Command("USER alice\r\n", "331 Password required\r\n")
        .Command("PASS secret\r\n", "230 Logged in\r\n")
        .NoFeatures()
        .Command("QUIT\r\n", "221 Bye\r\n")
        .AwaitControlClosed();
    const auto result = Run(std::string(kLoginAlice) +
                            "expect title \"My Device\"\nanswer yes\ncommand 32792\n"
                            "expect box \"Do You Want To Exit\"\n");
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(transcript.str(),
              "window open \"Kestra\" CLoginDlg\n"
              "window open \"My Device\" CFileManagerDlg\n"
              "box \"Kestra.htp\" \"Do You Want To Exit\" yesno -> yes\n"
              "window close \"My Device\" CFileManagerDlg\n"
              "window close \"Kestra\" CLoginDlg\n");
    EXPECT_EQ(theApp.m_strUserName, L"alice");
    EXPECT_EQ(theApp.m_strPassword, L"secret");
}

TEST_F(Login, ExitAnsweredNoLeavesWindowAndSessionAlone) {
    server.Greet()
        .Command("USER alice\r\n", "331 Password required\r\n")
        .Command("PASS secret\r\n", "230 Logged in\r\n")
        .NoFeatures()
        .Command("QUIT\r\n", "221 Bye\r\n");
    const auto result = Run(std::string(kLoginAlice) +
                            "answer no\ncommand 32792\nexpect title \"My Device\"\n"
                            "answer yes\ncommand 32777\n");
    EXPECT_EQ(result.status, 0) << result.message;
}

TEST_F(Login, EmptyEditsAskForTheUserNameOnlyAndConnectNowhere) {
    const auto result =
        Run("click 1003\nexpect box \"Enter User Name\"\nexpect no-box\ncommand 2\n");
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(server.Finish().controlConnections, 0);
}

TEST_F(Login, BlankUserNameIsSentAsTyped) {
    server.Greet().Command("USER   \r\n", "530 Not a user\r\n").Command("QUIT\r\n", "221 Bye\r\n");
    const auto result =
        Run("type 1001 \"  \"\ntype 1002 \"pw\"\nclick 1003\n"
            "expect box \"Login Failed .Check the User name and the Password \"\ncommand 2\n");
    EXPECT_EQ(result.status, 0) << result.message;
}

TEST_F(Login, WrongPasswordQuitsAndTheNextAttemptConnectsAfresh) {
    server.Greet()
        .Command("USER alice\r\n", "331 Password required\r\n")
        .Command("PASS wrong\r\n", "530 Login incorrect\r\n")
        .Command("QUIT\r\n", "221 Bye\r\n")
        .AwaitControlClosed()
        .Greet()
        .Command("USER alice\r\n", "331 Password required\r\n")
        .Command("PASS secret\r\n", "230 Logged in\r\n")
        .NoFeatures()
        .Command("QUIT\r\n", "221 Bye\r\n");
    const auto result =
        Run("type 1001 \"alice\"\ntype 1002 \"wrong\"\nclick 1003\n"
            "expect box \"Login Failed .Check the User name and the Password \"\n"
            "click 1004\nexpect text 1001 \"\"\nexpect text 1002 \"\"\n" +
            std::string(kLoginAlice) + "expect title \"My Device\"\nanswer yes\ncommand 32792\n");
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(server.Finish().controlConnections, 2);
}

TEST_F(Login, ResetClearsTheEditsButNotTheSubmittedCredentials) {
    server.Greet()
        .Command("USER alice\r\n", "331 Password required\r\n")
        .Command("PASS wrong\r\n", "530 Login incorrect\r\n")
        .Command("QUIT\r\n", "221 Bye\r\n");
    const auto result =
        Run("type 1001 \"alice\"\ntype 1002 \"wrong\"\nclick 1003\nclick 1004\n"
            "expect text 1001 \"\"\ncommand 2\n");
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(theApp.m_strUserName, L"alice");
    EXPECT_EQ(theApp.m_strPassword, L"wrong");
}

TEST_F(Login, GreetingOtherThan220IsAConnectionError) {
    server.Greet("421 Too many users\r\n").CloseControl();
    const auto result =
        Run(std::string(kLoginAlice) + "expect box \"Error Connecting to Server\"\ncommand 2\n");
    EXPECT_EQ(result.status, 0) << result.message;
}

TEST_F(Login, ImmediateLoginOnUserFailsWithoutSendingThePassword) {
    server.Greet().Command("USER alice\r\n", "230 Welcome\r\n").Command("QUIT\r\n", "221 Bye\r\n");
    const auto result = Run(std::string(kLoginAlice) +
                            "expect box \"Login Failed .Check the User name and the Password \"\n"
                            "command 2\n");
    EXPECT_EQ(result.status, 0) << result.message;
}
