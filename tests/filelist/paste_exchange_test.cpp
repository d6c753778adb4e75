// Paste's exact exchange with the server: what every path sends, in which order, and the
// rows of the refill.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/globals.h"
#include "headless/run_script.h"
#include "script/run_program.h"
#include "support/program_state.h"
#include "support/scripted_ftp_server.h"
#include "support/temp_folder.h"

namespace {

using testing_support::ScriptedFtpServer;

const char* const kLogin =
    "type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n";
const char* const kPaste = "hold none\nmenu ID_PASTE\n";
const char* const kExit = "answer yes\ncommand ID_EXIT\n";

std::string Line(char type, const std::string& size, const std::string& name) {
    return std::string(1, type) + "rw-r--r--   1 alice    support      " + size + " Dec 07 12:34 " +
           name + "\r\n";
}

class PasteExchange : public ::testing::Test {
  protected:
    void SetUp() override {
        theApp.m_strClipName.clear();
        theApp.m_strCutSource.clear();
        theApp.m_strCopySource.clear();
        server.Greet()
            .Command("USER alice\r\n", "331 Password\r\n")
            .Command("PASS secret\r\n", "230 In\r\n")
            .NoFeatures();
    }

    const ScriptedFtpServer::Result& Run(const std::string& steps) {
        server.Command("QUIT\r\n", "221 Bye\r\n").AwaitControlClosed();
        server.Start();
        script::DeviceOptions options;
        options.root = device.Path();
        options.ftpServer = platform::net::Endpoint{"127.0.0.1", server.Port()};
        // What an earlier case of this process left in the program must not steer this one.
        testing_support::ResetProgramState();
        const auto result = headless::RunScriptText(kLogin + steps + kExit, options, transcript);
        EXPECT_EQ(result.status, 0) << result.message << '\n' << transcript.str();
        const auto& finished = server.Finish();
        EXPECT_EQ(finished.transcript, server.ExpectedTranscript());
        EXPECT_THAT(finished.problems, testing::IsEmpty());
        return finished;
    }

    void Pwd(const std::string& folder) {
        server.Command("PWD\r\n", "257 \"" + folder + "\" is current\r\n");
    }
    void Passive() {
        server.Command("TYPE I\r\n", "200 Binary\r\n").Expect("PASV \r\n").ReplyPasv();
    }
    // PWD, then a LIST of `listing`.
    void Listing(const std::string& folder, const std::string& listing) {
        Pwd(folder);
        Passive();
        server.AcceptData()
            .Command("LIST\r\n", "150 Listing\r\n")
            .SendData(listing)
            .CloseData()
            .Reply("226 Done\r\n");
    }
    void ShowRemoteRoot(const std::string& listing) {
        server.Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n");
        Listing("/My Device on Stowbox", listing);
    }
    void Store(const std::string& name) {
        Passive();
        server.Command("STOR " + name + "\r\n", "150 Send\r\n")
            .AcceptData()
            .ReceiveData()
            .Reply("226 Stored\r\n");
    }

    testing_support::TempFolder device;
    ScriptedFtpServer server;
    std::ostringstream transcript;
};

TEST_F(PasteExchange, CopyUploadsIntoTheShownFolderAndRefillsSizedRowsFoldersFirst) {
    device.WriteFile("a.txt", "hello");
    // Nothing recorded: the paste still asks where the session is first, in either view.
    Pwd("/");
    ShowRemoteRoot("");
    Pwd("/My Device on Stowbox");
    ShowRemoteRoot("");
    Pwd("/My Device on Stowbox");
    server.Command("SIZE a.txt\r\n", "213 5\r\n");
    Store("a.txt");
    // Names lose the blank that leads them in the line; each file is sized once.
    Listing("/My Device on Stowbox", Line('-', "5", "a.txt") +
                                         Line('-', "2048", " spaced name.txt") +
                                         Line('d', "4096", "zeta"));
    server.Command("SIZE a.txt\r\n", "213 5\r\n")
        .Command("SIZE spaced name.txt\r\n", "213 2048\r\n");
    const auto& result = Run(std::string(kPaste) +
                             "expect box \"Cut or Copy a file to paste\"\n"
                             "command ID_SHOW_REMOTE\n" +
                             kPaste +
                             "expect box \"Cut or Copy a file to paste\"\n"
                             "command ID_SHOW_LOCAL\n"
                             "hold 0\nmenu ID_COPY\n"
                             "command ID_SHOW_REMOTE\n"
                             "answer yes\n" +
                             kPaste +
                             "expect box \"Do you want to replace the exisiting file.\"\n"
                             "expect box \"File Upload Completed\"\n"
                             "expect rows 3\n"
                             "expect row 0 \"zeta\" \"\" \"1\"\n"
                             "expect row 1 \"spaced name.txt\" \"2KB\" \"2\"\n"
                             "expect row 2 \"a.txt\" \"5\" \"2\"\n"
                             "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n");
    EXPECT_EQ(result.dataReceived, "hello");
}

TEST_F(PasteExchange, CutPathsSendTheirCommandsInOrder) {
    const auto readOnly = device.WriteFile("ro.txt", "RO");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    ShowRemoteRoot(Line('d', "4096", "Docs") + Line('-', "2", "n.txt"));
    server.Command("SIZE n.txt\r\n", "213 2\r\n");
    // Into Docs, then the cut of the root's n.txt is pasted there: a move inside the account.
    server.Command("CWD Docs\r\n", "250 OK\r\n");
    Listing("/My Device on Stowbox/Docs", "");
    Pwd("/My Device on Stowbox/Docs");
    Pwd("/My Device on Stowbox/Docs");
    server.Command("SIZE /My Device on Stowbox/Docs//n.txt\r\n", "550 No such file\r\n")
        .Command("RNFR /My Device on Stowbox/n.txt\r\n", "350 Ready\r\n")
        .Command("RNTO /My Device on Stowbox/Docs//n.txt\r\n", "250 Renamed\r\n");
    Listing("/My Device on Stowbox/Docs", Line('-', "2", "n.txt"));
    server.Command("SIZE n.txt\r\n", "213 2\r\n");
    // Cut again and pasted on the device: fetched and deleted under its recorded path.
    Pwd("/My Device on Stowbox/Docs");
    Passive();
    server.Command("RETR /My Device on Stowbox/Docs/n.txt\r\n", "150 Sending\r\n")
        .AcceptData()
        .SendData("NN")
        .CloseData()
        .Reply("226 Sent\r\n")
        .Command("DELE /My Device on Stowbox/Docs/n.txt\r\n", "250 Deleted\r\n");
    // A device file that cannot be deleted, cut and pasted in the Remote view: the upload is
    // deleted again after the refill, and a second paste sends nothing but its PWD.
    ShowRemoteRoot("");
    Pwd("/My Device on Stowbox");
    server.Command("SIZE ro.txt\r\n", "550 No such file\r\n");
    Store("ro.txt");
    Listing("/My Device on Stowbox", Line('-', "2", "ro.txt"));
    server.Command("SIZE ro.txt\r\n", "213 2\r\n").Command("DELE ro.txt\r\n", "250 Deleted\r\n");
    Pwd("/My Device on Stowbox");
    const auto& result =
        Run("command ID_SHOW_REMOTE\n"
            "hold 1\nmenu ID_CUT\n"
            "doubletap 0\n" +
            std::string(kPaste) +
            "expect row 0 \"n.txt\" \"2\" \"2\"\n"
            "hold 0\nmenu ID_CUT\n"
            "command ID_SHOW_LOCAL\n" +
            kPaste +
            "expect box \"File DownLoad Completed\"\n"
            "hold 0\nmenu ID_CUT\n"
            "command ID_SHOW_REMOTE\n" +
            kPaste +
            "expect box \"Cannot delete a system file\"\n"
            "expect row 0 \"ro.txt\" \"2\" \"2\"\n" +
            kPaste + "expect no-box\n");
    EXPECT_EQ(result.dataReceived, "RO");
    EXPECT_EQ(device.ReadFile("n.txt"), "NN");
    EXPECT_EQ(device.ReadFile("ro.txt"), "RO");
}

TEST_F(PasteExchange, ACutUploadThatReplacedTheRemoteFileStaysWhenTheDeviceFileCannotGo) {
    const auto readOnly = device.WriteFile("ro.txt", "RO");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    // The replaced file is gone, so the new copy is the only one: no DELE, no refill.
    ShowRemoteRoot(Line('-', "2", "ro.txt"));
    server.Command("SIZE ro.txt\r\n", "213 2\r\n");
    Pwd("/My Device on Stowbox");
    server.Command("SIZE ro.txt\r\n", "213 2\r\n");
    Store("ro.txt");
    Run("hold 0\nmenu ID_CUT\n"
        "command ID_SHOW_REMOTE\n"
        "answer yes\n" +
        std::string(kPaste) +
        "expect box \"Do you want to replace the existing file.\"\n"
        "expect box \"Cannot delete a system file\"\n"
        "expect no-box\n");
    EXPECT_EQ(device.ReadFile("ro.txt"), "RO");
}

}  // namespace
