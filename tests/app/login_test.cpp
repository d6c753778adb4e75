// Start-up and the login dialog against a scripted FTP server: what goes on the wire and what
// a person sees.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "app/globals.h"
#include "support/scripted_run.h"

namespace {

using Login = testing_support::ScriptedRun;

const char* const kLoginAlice =
    "type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n";

}  // namespace

TEST_F(Login, SuccessOpensTheFileManagerAndExitSendsQuit) {
    server.Greet()
        .Command("USER alice\r\n", "331 Password required\r\n")
        .Command("PASS secret\r\n", "230 Logged in\r\n")
        .NoFeatures()
        .Command("QUIT\r\n", "221 Bye\r\n")
        .AwaitControlClosed();
    const auto result = Run(std::string(kLoginAlice) +
                            "expect title \"My Device\"\nanswer yes\ncommand ID_EXIT\n"
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
                            "answer no\ncommand ID_EXIT\nexpect title \"My Device\"\n"
                            "answer yes\ncommand ID_EXIT_ALT\n");
    EXPECT_EQ(result.status, 0) << result.message;
}

TEST_F(Login, EmptyEditsAskForTheUserNameOnlyAndConnectNowhere) {
    const auto result =
        Run("click IDC_LOGIN\nexpect box \"Enter User Name\"\nexpect no-box\ncommand IDCANCEL\n");
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(server.Finish().controlConnections, 0);
}

TEST_F(Login, BlankUserNameIsSentAsTyped) {
    server.Greet().Command("USER   \r\n", "530 Not a user\r\n").Command("QUIT\r\n", "221 Bye\r\n");
    const auto result = Run(
        "type IDC_USERNAME \"  \"\ntype IDC_PASSWORD \"pw\"\nclick IDC_LOGIN\n"
        "expect box \"Login Failed .Check the User name and the Password \"\ncommand IDCANCEL\n");
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
        Run("type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"wrong\"\nclick IDC_LOGIN\n"
            "expect box \"Login Failed .Check the User name and the Password \"\n"
            "click IDC_RESET\nexpect text IDC_USERNAME \"\"\nexpect text IDC_PASSWORD \"\"\n" +
            std::string(kLoginAlice) + "expect title \"My Device\"\nanswer yes\ncommand ID_EXIT\n");
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(server.Finish().controlConnections, 2);
}

TEST_F(Login, ResetClearsTheEditsButNotTheSubmittedCredentials) {
    server.Greet()
        .Command("USER alice\r\n", "331 Password required\r\n")
        .Command("PASS wrong\r\n", "530 Login incorrect\r\n")
        .Command("QUIT\r\n", "221 Bye\r\n");
    const auto result =
        Run("type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"wrong\"\nclick IDC_LOGIN\nclick "
            "IDC_RESET\n"
            "expect text IDC_USERNAME \"\"\ncommand IDCANCEL\n");
    EXPECT_EQ(result.status, 0) << result.message;
    EXPECT_EQ(theApp.m_strUserName, L"alice");
    EXPECT_EQ(theApp.m_strPassword, L"wrong");
}

TEST_F(Login, GreetingOtherThan220IsAConnectionError) {
    server.Greet("421 Too many users\r\n").CloseControl();
    const auto result = Run(std::string(kLoginAlice) +
                            "expect box \"Error Connecting to Server\"\ncommand IDCANCEL\n");
    EXPECT_EQ(result.status, 0) << result.message;
}

TEST_F(Login, ImmediateLoginOnUserFailsWithoutSendingThePassword) {
    server.Greet().Command("USER alice\r\n", "230 Welcome\r\n").Command("QUIT\r\n", "221 Bye\r\n");
    const auto result = Run(std::string(kLoginAlice) +
                            "expect box \"Login Failed .Check the User name and the Password \"\n"
                            "command IDCANCEL\n");
    EXPECT_EQ(result.status, 0) << result.message;
}
