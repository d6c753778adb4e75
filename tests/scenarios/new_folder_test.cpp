// The new folder dialog and the chain of windows it leaves behind.

#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "support/scenario.h"

namespace {

class NewFolder : public testing_support::Scenario {};

TEST_F(NewFolder, CreatesTrimmedNameThenRefusesItAgainAndExitUnwindsTheChain) {
    WriteAccountFile("My Device on Stowbox/notes.txt", "n");
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            "command ID_NEW_FOLDER\n"
                            "expect title \"NEW FOLDER\"\n"
                            "click IDOK\n"
                            "expect box \"Enter Folder Name\"\n"
                            "type IDC_FOLDERNAME \"  Fresh Folder  \"\n"
                            "click IDOK\n"
                            // A fresh window in the Remote view, titled as the Local one.
                            "expect title \"My Device\"\n"
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
                            "expect rows 2\n"
                            "expect row 0 \"Fresh Folder\" \"\" \"1\"\n"
                            "expect row 1 \"notes.txt\" \"1\" \"2\"\n"
                            "expect hidden ID_UPLOAD ID_HELP ID_MOVE\n"
                            "expect visible ID_SHOW_LOCAL ID_SHOW_REMOTE ID_DOWNLOAD ID_EXIT "
                            "ID_NEW_FOLDER ID_DELETE ID_SHARE\n"
                            "command ID_NEW_FOLDER\n"
                            "type IDC_FOLDERNAME \"Fresh Folder\"\n"
                            "click IDOK\n"
                            "expect box \"Directory already exists\"\n"
                            "expect title \"NEW FOLDER\"\n"
                            "click IDCANCEL\n"
                            "expect title \"My Device\"\n"
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
                            "expect rows 2\n" +
                            ExitSteps() + "expect box \"Do You Want To Exit\"\n");
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_TRUE(std::filesystem::is_directory(RemoteRoot() / "Fresh Folder"));
    EXPECT_EQ(g_strOpenRemote, L"");
    EXPECT_EQ(result.transcript,
              "window open \"Kestra\" CLoginDlg\n"
              "window open \"My Device\" CFileManagerDlg\n"
              "window open \"NEW FOLDER\" CNewFolderDlg\n"
              "box \"Kestra.htp\" \"Enter Folder Name\" ok -> ok\n"
              "window open \"My Device\" CFileManagerDlg\n"
              "window open \"NEW FOLDER\" CNewFolderDlg\n"
              "box \"Kestra.htp\" \"Directory already exists\" ok -> ok\n"
              "window open \"My Device\" CFileManagerDlg\n"
              "box \"Kestra.htp\" \"Do You Want To Exit\" yesno -> yes\n"
              "window close \"My Device\" CFileManagerDlg\n"
              "window close \"NEW FOLDER\" CNewFolderDlg\n"
              "window close \"My Device\" CFileManagerDlg\n"
              "window close \"NEW FOLDER\" CNewFolderDlg\n"
              "window close \"Stowbox\" CFileManagerDlg\n"
              "window close \"Kestra\" CLoginDlg\n");
}

TEST_F(NewFolder, MadeInTheFolderTheSessionIsIn) {
    MakeAccountFolder("My Device on Stowbox/Music");
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            "doubletap 0\n"
                            "command ID_NEW_FOLDER\n"
                            "type IDC_FOLDERNAME \"Live\"\n"
                            "click IDOK\n"
                            // The fresh window lists the session's folder under the root entries.
                            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
                            "expect rows 1\n"
                            "expect row 0 \"Live\" \"\" \"1\"\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_TRUE(std::filesystem::is_directory(RemoteRoot() / "Music" / "Live"));
}

}  // namespace
