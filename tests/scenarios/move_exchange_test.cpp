// The move file dialog's exact exchange with the server, against a scripted FTP server: the
// CWD lines of the folder picker, which listing lines become rows, and the RNFR and RNTO
// pairs with their doubled slashes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/globals.h"
#include "headless/run_script.h"
#include "script/run_program.h"
#include "support/program_state.h"
#include "support/scripted_ftp_server.h"
#include "support/temp_folder.h"

namespace {

using testing_support::ScriptedFtpServer;

const std::string kRoot = "/My Device on Stowbox";
const std::string kRootEntries = "\"Stowbox\" \"**  My Device on Stowbox\"";

std::string FolderLine(const std::string& name) {
    return "drwxr-xr-x   2 alice    support      4096 Dec 07 12:34 " + name + "\r\n";
}
std::string FileLine(const std::string& name) {
    return "-rw-r--r--   1 alice    support      5 Dec 07 12:34 " + name + "\r\n";
}

class MoveExchange : public ::testing::Test {
  protected:
    script::ScriptResult Run(const std::string& script) {
        server.Start();
        script::DeviceOptions options;
        options.root = device.Path();
        options.ftpServer = platform::net::Endpoint{"127.0.0.1", server.Port()};
        // What an earlier case of this process left in the program must not steer this one.
        testing_support::ResetProgramState();
        auto result = headless::RunScriptText(script, options, transcript);
        const auto& finished = server.Finish();
        EXPECT_EQ(finished.transcript, server.ExpectedTranscript());
        EXPECT_THAT(finished.problems, testing::IsEmpty());
        return result;
    }

    // PWD, then a LIST whose data is `listing`.
    void ListingOf(const std::string& folder, const std::string& listing) {
        server.Listing(folder, listing);
    }
    // The picker changes folder with `line`, then lists where the session is.
    void Walk(const std::string& line, const std::string& folder, const std::string& listing) {
        server.Command(line + "\r\n", "250 OK\r\n");
        ListingOf(folder, listing);
    }
    // Login, then the Remote view of the remote root holding a.txt and b.txt.
    void RemoteRootWithTwoFiles() {
        server.Greet()
            .Command("USER alice\r\n", "331 Password\r\n")
            .Command("PASS secret\r\n", "230 In\r\n")
            .NoFeatures();
        Walk("CWD " + kRoot, kRoot, FileLine("a.txt") + FileLine("b.txt"));
        server.Command("SIZE a.txt\r\n", "213 5\r\n").Command("SIZE b.txt\r\n", "213 5\r\n");
    }
    // The move command's PWD and the dialog's start at the remote root.
    void MoveDialogOpens(const std::string& from, const std::string& rootListing) {
        server.Command("PWD\r\n", "257 \"" + from + "\" is current\r\n");
        Walk("CWD /" + kRoot, kRoot, rootListing);
    }
    void Quit() { server.Command("QUIT\r\n", "221 Bye\r\n").AwaitControlClosed(); }

    testing_support::TempFolder device;
    ScriptedFtpServer server;
    std::ostringstream transcript;
};

const char* const kLogin =
    "type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n";
const char* const kExit = "answer yes\ncommand ID_EXIT\n";

TEST_F(MoveExchange, WalksTheTreeAndRenamesEveryChosenFileIntoThePickedFolder) {
    RemoteRootWithTwoFiles();
    // Only lines that begin with a lower-case "d" and end in a line feed are folders.
    const std::string oldFolder = "drwxr-xr-x   2 alice    support      4096 Dec 07  2003 Old\r\n";
    MoveDialogOpens(
        kRoot, FolderLine("Docs") + FileLine("notes.txt") +
                   "lrwxrwxrwx   1 alice    support      4 Dec 07 12:34 ln -> Docs\r\n" +
                   oldFolder + "Drwxr-xr-x   2 alice    support      4096 Dec 07 12:34 Up\r\n" +
                   "drwxr-xr-x   2 alice    support      4096 Dec 07 12:34 Tail");
    Walk("CWD Docs", kRoot + "/Docs", FolderLine("Work"));
    Walk("CWD Work", kRoot + "/Docs/Work", "");
    Walk("CWD " + kRoot + "/Docs/", kRoot + "/Docs", FolderLine("Work"));
    Walk("CWD " + kRoot, kRoot, "");
    Walk("CWD //", "/", FolderLine("My Device on Stowbox") + FolderLine("Top"));
    Walk("CWD My Device on Stowbox", kRoot, FolderLine("Docs"));
    Walk("CWD Docs", kRoot + "/Docs", FolderLine("Work"));
    // MOVE FILE: a refused name is skipped and the next one still goes.
    server.Command("PWD\r\n", "257 \"" + kRoot + "/Docs\" is current\r\n")
        .Command("SIZE " + kRoot + "/Docs//Work//a.txt\r\n", "550 No such file\r\n")
        .Command("RNFR " + kRoot + "///a.txt\r\n", "550 No such file\r\n")
        .Command("SIZE " + kRoot + "/Docs//Work//b.txt\r\n", "550 No such file\r\n")
        .Command("RNFR " + kRoot + "///b.txt\r\n", "350 Ready\r\n")
        .Command("RNTO " + kRoot + "/Docs//Work//b.txt\r\n", "250 Renamed\r\n");
    // The fresh window lists the folder the dialog showed last.
    ListingOf(kRoot + "/Docs", FolderLine("Work"));
    Quit();

    const auto result =
        Run(std::string(kLogin) +
            "command ID_SHOW_REMOTE\n"
            "expect row 0 \"a.txt\"\nexpect row 1 \"b.txt\"\n"
            "check 0\ncheck 1\n"
            "command ID_MOVE\n"
            "expect path 1 " +
            kRootEntries +
            "\n"
            "expect rows 2\n"
            "expect row 0 \" Docs\"\n"
            // Without a ":" the name is cut from the line's first blank.
            "expect row 1 \"   2 alice    support      4096 Dec 07  2003 Old\"\n"
            "doubletap 0\n"
            "expect path 2 " +
            kRootEntries +
            " \"***  Docs\"\n"
            "expect rows 1\nexpect row 0 \" Work\"\n"
            // An empty folder after a double tap: an empty list under the new entry.
            "doubletap 0\n"
            "expect path 3 " +
            kRootEntries +
            " \"***  Docs\" \"****  Work\"\n"
            "expect rows 0\n"
            "select IDC_MOVE_PATHBOX 2\n"
            "expect path 2 " +
            kRootEntries +
            " \"***  Docs\"\n"
            "expect rows 1\n"
            // An empty listing after a choice: the list and the deeper entries stay.
            "select IDC_MOVE_PATHBOX 1\n"
            "expect path 1 " +
            kRootEntries +
            " \"***  Docs\"\n"
            "expect rows 1\nexpect row 0 \" Work\"\n"
            "select IDC_MOVE_PATHBOX 0\n"
            "expect path 0 \"Stowbox\"\n"
            "expect rows 2\nexpect row 0 \" My Device on Stowbox\"\nexpect row 1 \" Top\"\n"
            "doubletap 0\n"
            "expect path 1 " +
            kRootEntries +
            "\n"
            "doubletap 0\n"
            "mark 0\n"
            "click IDC_MOVE_FILE\n"
            "expect title \"My Device\"\n"
            "expect rows 1\nexpect row 0 \"Work\" \"\" \"1\"\n" +
            kExit);
    EXPECT_EQ(result.status, 0) << result.message << '\n' << transcript.str();
    EXPECT_EQ(theApp.m_strMoveDir, L"/My Device on Stowbox/");
    EXPECT_EQ(theApp.m_strMoveFiles, L"");
}

TEST_F(MoveExchange, CancelForgetsTheNamesAndNoSelectedRowMeansTheFolderShown) {
    RemoteRootWithTwoFiles();
    MoveDialogOpens(kRoot, FolderLine("Docs"));
    // CANCEL sends nothing more; the fresh window lists the remote root.
    ListingOf(kRoot, FileLine("a.txt") + FileLine("b.txt"));
    server.Command("SIZE a.txt\r\n", "213 5\r\n").Command("SIZE b.txt\r\n", "213 5\r\n");
    MoveDialogOpens(kRoot, FolderLine("Docs"));
    // Only the second move's name, into the folder shown: four slashes before it.
    server.Command("PWD\r\n", "257 \"" + kRoot + "\" is current\r\n")
        .Command("RNFR " + kRoot + "///a.txt\r\n", "350 Ready\r\n")
        .Command("RNTO " + kRoot + "////a.txt\r\n", "250 Renamed\r\n");
    ListingOf(kRoot, FileLine("a.txt") + FileLine("b.txt"));
    server.Command("SIZE a.txt\r\n", "213 5\r\n").Command("SIZE b.txt\r\n", "213 5\r\n");
    Quit();

    const auto result = Run(std::string(kLogin) +
                            "command ID_SHOW_REMOTE\n"
                            "check 1\n"
                            "command ID_MOVE\n"
                            "click IDC_MOVE_CANCEL\n"
                            "expect title \"My Device\"\n"
                            "check 0\n"
                            "command ID_MOVE\n"
                            "click IDC_MOVE_FILE\n"
                            "expect title \"My Device\"\n" +
                            kExit);
    EXPECT_EQ(result.status, 0) << result.message << '\n' << transcript.str();
}

TEST_F(MoveExchange, AsksBeforeReplacingAndRefusesNamesThatSplitOrLeaveTheFolder) {
    server.Greet()
        .Command("USER alice\r\n", "331 Password\r\n")
        .Command("PASS secret\r\n", "230 In\r\n")
        .NoFeatures();
    Walk("CWD " + kRoot, kRoot, FileLine("a.txt") + FileLine("b.txt") + FileLine("x~`b.txt"));
    server.Command("SIZE a.txt\r\n", "213 5\r\n")
        .Command("SIZE b.txt\r\n", "213 5\r\n")
        .Command("SIZE x~`b.txt\r\n", "213 5\r\n");
    MoveDialogOpens(kRoot, FolderLine("Docs") + FolderLine(".."));
    // A folder row named ".." is no destination: nothing is asked or moved.
    server.Command("PWD\r\n", "257 \"" + kRoot + "\" is current\r\n");
    // Into Docs, which holds a.txt and b.txt already: No keeps a.txt where it is, Yes moves
    // b.txt; "x~`b.txt" was never handed over, so b.txt moves once.
    server.Command("PWD\r\n", "257 \"" + kRoot + "\" is current\r\n")
        .Command("SIZE " + kRoot + "//Docs//a.txt\r\n", "213 5\r\n")
        .Command("SIZE " + kRoot + "//Docs//b.txt\r\n", "213 5\r\n")
        .Command("RNFR " + kRoot + "///b.txt\r\n", "350 Ready\r\n")
        .Command("RNTO " + kRoot + "//Docs//b.txt\r\n", "250 Renamed\r\n");
    ListingOf(kRoot, FolderLine("Docs"));
    Quit();

    const auto result =
        Run(std::string(kLogin) +
            "command ID_SHOW_REMOTE\n"
            "expect row 0 \"a.txt\"\nexpect row 1 \"b.txt\"\n"
            "expect row 2 \"x~`b.txt\"\n"
            "check 0\ncheck 1\ncheck 2\n"
            "command ID_MOVE\n"
            "expect box \"Cannot move x~`b.txt: its name holds the characters ~`\"\n"
            "mark 1\n"
            "click IDC_MOVE_FILE\n"
            "expect box \"Cannot move into ..\"\n"
            "expect title \"MOVE FILE\"\n"
            "mark 0\n"
            "answer no\nanswer yes\n"
            "click IDC_MOVE_FILE\n"
            "expect box \"Do you want to replace the exisiting file.\"\n"
            "expect box \"Do you want to replace the exisiting file.\"\n"
            "expect no-box\n" +
            kExit);
    EXPECT_EQ(result.status, 0) << result.message << '\n' << transcript.str();
}

}  // namespace
