// The file manager's two views, the account top, and what the toolbar shows in each.

#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "support/scenario.h"

namespace {

class Views : public testing_support::Scenario {
  protected:
    void DeviceFiles() {
        device.WriteFile("Photos/a.jpg", std::string(1025, 'a'));
        device.WriteFile("Documents/letter.doc", "x");
        device.WriteFile("readme.txt", std::string(1024, 'r'));
        device.WriteFile("small.txt", std::string(1025, 's'));
        device.WriteFile("big.bin", std::string(1048577, 'b'));
        device.WriteFile("two.txt", std::string(2048, 't'));
    }
    void RemoteFiles() {
        MakeAccountFolder("My Device on Stowbox/Archive");
        MakeAccountFolder("My Device on Stowbox/Video");
        WriteAccountFile("My Device on Stowbox/Music/song.mp3", std::string(1024, 'm'));
        WriteAccountFile("My Device on Stowbox/big.bin", std::string(1048577, 'b'));
        WriteAccountFile("My Device on Stowbox/notes.txt", std::string(1024, 'n'));
        WriteAccountFile("My Device on Stowbox/two.txt", std::string(2048, 't'));
        WriteAccountFile("My Device on Stowbox/tiny.txt", std::string(1025, 'y'));
    }
};

// The order the listing's sort leaves: folders first, not in name order within each kind.
const char* const kLocalRootRows =
    "expect rows 6\n"
    "expect row 0 \"Photos\" \"\" \"1\"\n"
    "expect row 1 \"Documents\" \"\" \"1\"\n"
    "expect row 2 \"big.bin\" \"1MB\" \"2\"\n"
    "expect row 3 \"readme.txt\" \"1024\" \"2\"\n"
    "expect row 4 \"small.txt\" \"1KB\" \"2\"\n"
    "expect row 5 \"two.txt\" \"2KB\" \"2\"\n";

const char* const kRemoteRootRows =
    "expect rows 7\n"
    "expect row 0 \"Archive\" \"\" \"1\"\n"
    "expect row 1 \"Video\" \"\" \"1\"\n"
    "expect row 2 \"Music\" \"\" \"1\"\n"
    "expect row 3 \"notes.txt\" \"1024\" \"2\"\n"
    "expect row 4 \"tiny.txt\" \"1KB\" \"2\"\n"
    "expect row 5 \"two.txt\" \"2KB\" \"2\"\n"
    "expect row 6 \"big.bin\" \"1MB\" \"2\"\n";

TEST_F(Views, FreshAccountsFirstRemoteViewMakesTheEmptyRemoteRoot) {
    ASSERT_FALSE(std::filesystem::exists(RemoteRoot()));
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            "expect title \"Stowbox\"\n"
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
                            "expect rows 0\n"
                            "expect no-box\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_TRUE(std::filesystem::is_directory(RemoteRoot()));
}

TEST_F(Views, LocalRootAtStartAndAfterTheLocalViewCommand) {
    DeviceFiles();
    const auto result =
        Run(LoginSteps() +
            "expect title \"My Device\"\n"
            "expect path 0 \"My Device\"\n" +
            kLocalRootRows +
            "expect visible ID_SHOW_LOCAL ID_SHOW_REMOTE ID_UPLOAD ID_EXIT\n"
            "expect hidden ID_DELETE ID_NEW_FOLDER ID_DOWNLOAD ID_MOVE ID_HELP ID_SHARE\n"
            "check 2\n"
            "command ID_SHOW_REMOTE\n"
            "command ID_SHOW_LOCAL\n"
            "expect title \"My Device\"\n"
            "expect path 0 \"My Device\"\n" +
            kLocalRootRows +
            // A refill drops the check marks.
            "expect unchecked 2\n"
            "expect visible ID_SHOW_LOCAL ID_SHOW_REMOTE ID_UPLOAD ID_EXIT\n"
            "expect hidden ID_DELETE ID_NEW_FOLDER ID_DOWNLOAD ID_MOVE ID_HELP ID_SHARE\n" +
            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(theApp.m_strCurrentView, L"Local");
    EXPECT_EQ(theApp.m_strActiveView, L"LocalView");
}

TEST_F(Views, RemoteViewListsTheRemoteRootWithSizes) {
    RemoteFiles();
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            "expect title \"Stowbox\"\n"
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n" +
                            kRemoteRootRows +
                            "expect visible ID_SHOW_LOCAL ID_SHOW_REMOTE ID_DOWNLOAD ID_NEW_FOLDER "
                            "ID_DELETE ID_SHARE ID_EXIT\n"
                            "expect hidden ID_UPLOAD ID_HELP ID_MOVE\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(theApp.m_strRemoteDir, L"/My Device on Stowbox");
    EXPECT_EQ(theApp.m_strActiveView, L"RemoteView");
}

TEST_F(Views, AccountTopListsTheAccountsOwnFolder) {
    RemoteFiles();
    WriteAccountFile("top.txt", "top");
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_ACCOUNT_TOP\n"
                            "expect title \"Stowbox\"\n"
                            // The path box names the remote root whatever was listed.
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
                            "expect rows 2\n"
                            "expect row 0 \"My Device on Stowbox\" \"\" \"1\"\n"
                            "expect row 1 \"top.txt\" \"3\" \"2\"\n"
                            "expect visible ID_DOWNLOAD ID_NEW_FOLDER ID_DELETE\n"
                            "expect hidden ID_UPLOAD\n"
                            // Back to the remote root through the path box.
                            "select IDC_PATHBOX 1\n"
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n" +
                            kRemoteRootRows + ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(theApp.m_strRemoteDir, L"/");
}

TEST_F(Views, ExitAnsweredNoKeepsTheWindowAndCancelDoesNothing) {
    const auto result = Run(LoginSteps() +
                            "answer no\n"
                            "command ID_EXIT\n"
                            "expect box \"Do You Want To Exit\"\n"
                            "click IDC_CANCEL_TRANSFER\n"
                            "expect title \"My Device\"\n"
                            "expect no-box\n"
                            "command ID_SHOW_LOCAL\n"
                            "expect rows 0\n" +
                            ExitSteps() + "expect box \"Do You Want To Exit\"\n");
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(result.transcript,
              "window open \"Kestra\" CLoginDlg\n"
              "window open \"My Device\" CFileManagerDlg\n"
              "box \"Kestra.htp\" \"Do You Want To Exit\" yesno -> no\n"
              "box \"Kestra.htp\" \"Do You Want To Exit\" yesno -> yes\n"
              "window close \"My Device\" CFileManagerDlg\n"
              "window close \"Kestra\" CLoginDlg\n");
}

TEST_F(Views, HelpStartsTheHelpViewer) {
    const auto result = Run(LoginSteps() + "command ID_HELP\nexpect no-box\n" + ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_NE(result.transcript.find("help \"PegHelp.exe\" \"file:\\\\Windows\\\\Kestra.htm\"\n"),
              std::string::npos)
        << result.transcript;
}

}  // namespace
