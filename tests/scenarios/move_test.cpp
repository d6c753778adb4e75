// The move command and the move file dialog against the stand-in service: the folder picker's
// rows and path box, the files arriving, and the chain of windows it leaves behind. The exact
// exchange, the account's top and empty listings: move_exchange_test.cpp.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/globals.h"
#include "support/scenario.h"

namespace {

namespace fs = std::filesystem;

class Move : public testing_support::Scenario {
  protected:
    // The program's state outlives a run in this process: the next scenario starts afresh.
    void TearDown() override {
        g_strOpenRemote.clear();
        theApp.m_strMoveFiles.clear();
        theApp.m_strMoveDir.clear();
    }

    // The remote root holds a.txt, b.txt, c.txt, the folder Empty and Docs with readme.txt
    // and Work; Work holds plan.txt, a.txt of its own and the folder Final.
    void MakeTree() {
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            WriteAccountFile(fs::path("My Device on Stowbox") / name, name);
        }
        WriteAccountFile("My Device on Stowbox/Docs/readme.txt", "r");
        WriteAccountFile("My Device on Stowbox/Docs/Work/plan.txt", "p");
        WriteAccountFile("My Device on Stowbox/Docs/Work/a.txt", "work a");
        MakeAccountFolder("My Device on Stowbox/Docs/Work/Final");
        MakeAccountFolder("My Device on Stowbox/Empty");
    }

    static std::string Path(int selected, const std::string& entries) {
        return "expect path " + std::to_string(selected) + " \"Stowbox\" " + entries + "\n";
    }
};

constexpr const char* kRootEntry = "\"**  My Device on Stowbox\"";

TEST_F(Move, TwoFilesIntoAFolderTwoLevelsDownThenASecondMoveAndExitEndsTheChain) {
    MakeTree();
    const std::string root = kRootEntry;
    const auto result =
        Run(LoginSteps() +
            "command ID_SHOW_REMOTE\n"
            // Empty, Docs, c.txt, b.txt, a.txt
            "expect row 3 \"b.txt\"\nexpect row 4 \"a.txt\"\n"
            "check 3\ncheck 4\n"
            "command ID_MOVE\n"
            "expect title \"MOVE FILE\"\n" +
            Path(1, root) +
            "expect rows 2\n"
            // Folder rows keep the blank that led the name; files never show.
            "expect row 0 \" Docs\"\nexpect row 1 \" Empty\"\n"
            "doubletap 0\n" +
            Path(2, root + " \"***  Docs\"") +
            "expect rows 1\nexpect row 0 \" Work\"\n"
            "doubletap 0\n" +
            Path(3, root + " \"***  Docs\" \"****  Work\"") +
            "expect rows 1\nexpect row 0 \" Final\"\n"
            "mark 0\n"
            "click IDC_MOVE_FILE\n"
            // A fresh window in the Remote view, at the folder the dialog showed last.
            "expect title \"My Device\"\n" +
            Path(1, root) +
            "expect rows 3\n"
            "expect row 0 \"Final\" \"\" \"1\"\n"
            "expect hidden ID_UPLOAD ID_HELP ID_MOVE\n"
            "expect visible ID_DOWNLOAD ID_NEW_FOLDER ID_DELETE ID_SHARE\n"
            // A second move from here: plan.txt only, into the folder the dialog shows.
            "expect row 1 \"a.txt\"\nexpect row 2 \"plan.txt\"\n"
            "check 2\n"
            "command ID_MOVE\n" +
            Path(1, root) + "click IDC_MOVE_FILE\n" + "expect title \"My Device\"\n" + ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;

    const fs::path final = RemoteRoot() / "Docs" / "Work" / "Final";
    EXPECT_TRUE(fs::is_regular_file(final / "a.txt"));
    EXPECT_TRUE(fs::is_regular_file(final / "b.txt"));
    EXPECT_TRUE(fs::is_regular_file(RemoteRoot() / "c.txt"));
    EXPECT_TRUE(fs::is_regular_file(RemoteRoot() / "Docs" / "Work" / "a.txt"))
        << "the first move's names were sent again";
    EXPECT_TRUE(fs::is_regular_file(RemoteRoot() / "plan.txt"));
    EXPECT_EQ(theApp.m_strMoveFiles, L"");
    EXPECT_EQ(theApp.m_strMoveDir, L"/My Device on Stowbox/Docs/Work/");
    EXPECT_EQ(result.transcript,
              "window open \"Kestra\" CLoginDlg\n"
              "window open \"My Device\" CFileManagerDlg\n"
              "window open \"MOVE FILE\" CMoveFileDlg\n"
              "window open \"My Device\" CFileManagerDlg\n"
              "window open \"MOVE FILE\" CMoveFileDlg\n"
              "window open \"My Device\" CFileManagerDlg\n"
              "box \"Kestra.htp\" \"Do You Want To Exit\" yesno -> yes\n"
              "window close \"My Device\" CFileManagerDlg\n"
              "window close \"MOVE FILE\" CMoveFileDlg\n"
              "window close \"My Device\" CFileManagerDlg\n"
              "window close \"MOVE FILE\" CMoveFileDlg\n"
              "window close \"Stowbox\" CFileManagerDlg\n"
              "window close \"Kestra\" CLoginDlg\n");
}

TEST_F(Move, NothingCheckedSaysSoAndTheNextWindowStillOpensRemote) {
    MakeTree();
    const auto result = Run(LoginSteps() +
                            "command ID_MOVE\n"
                            "expect box \"Select a File to move\"\n"
                            "expect title \"My Device\"\n"
                            "command ID_SHOW_REMOTE\n"
                            "command ID_MOVE\n"
                            "expect box \"Select a File to move\"\n"
                            "expect title \"Stowbox\"\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    // Left set, so the next window would open in the Remote view.
    EXPECT_EQ(g_strOpenRemote, L"TRUE");
    EXPECT_EQ(theApp.m_strMoveFiles, L"");
}

// A server may list a file whose name is blanks only: its row names nothing once the blanks
// that lead every name are taken off, so the move skips it without a word and moves the rest.
TEST_F(Move, AFileNamedWithBlanksOnlyIsSkippedSilently) {
    WriteAccountFile("My Device on Stowbox/a.txt", "a");
    WriteAccountFile("My Device on Stowbox/   ", "blanks");
    MakeAccountFolder("My Device on Stowbox/Empty");
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            "expect rows 3\n"
                            "check 0\ncheck 1\ncheck 2\n"
                            "command ID_MOVE\n"
                            "mark 0\n"
                            "click IDC_MOVE_FILE\n"
                            "expect title \"My Device\"\n" +
                            ExitSteps());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(result.transcript.find("Cannot move"), std::string::npos) << result.transcript;
    EXPECT_TRUE(fs::is_regular_file(RemoteRoot() / "Empty" / "a.txt"));
    EXPECT_TRUE(fs::is_regular_file(RemoteRoot() / "   "));
}

}  // namespace
