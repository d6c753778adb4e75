// Names and answers from outside that must not steer the program: names that would break a
// command line, server names that would lead out of the device folder shown, a share of such
// a name, and a cut upload that replaced the only remote copy. Exact wire, scripted server.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "support/scripted_run.h"

namespace {

class HostileNames : public testing_support::ScriptedRun {
  protected:
    void SetUp() override {
        server.Greet()
            .Command("USER alice\r\n", "331 Password\r\n")
            .Command("PASS secret\r\n", "230 In\r\n")
            .NoFeatures();
    }
    void ShowRemoteRoot(const std::string& listing) {
        server.Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n");
        server.Listing("/My Device on Stowbox", listing);
    }
    void Quit() { server.Command("QUIT\r\n", "221 Bye\r\n").AwaitControlClosed(); }
    void Play(const std::string& steps) {
        const auto result = Run(kLogin + steps + "answer yes\ncommand ID_EXIT\n");
        EXPECT_EQ(result.status, 0) << result.message << '\n' << transcript.str();
    }

    static std::string FileLine(const std::string& name) {
        return "-rw-r--r--   1 alice    support      5 Dec 07 12:34 " + name + "\r\n";
    }
    static constexpr const char* kLogin =
        "type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n";
};

TEST_F(HostileNames, UploadSendsNothingForANameWithALineBreakAndGoesOnWithTheOthers) {
    device.WriteFile("x\r\nDELE keep.txt", "evil");
    device.WriteFile("a\rb", "cr");
    device.WriteFile("c\nd", "lf");
    device.WriteFile("ok.txt", "fine");
    server.Command("CWD /My Device on Stowbox\r\n", "250 OK\r\n")
        .Command("PWD\r\n", "257 \"/My Device on Stowbox\" is current\r\n")
        .Command("TYPE I\r\n", "200 Binary\r\n")
        .Command("SIZE /My Device on Stowbox/ok.txt\r\n", "550 No such file\r\n")
        .Expect("PASV \r\n")
        .ReplyPasv()
        .Command("STOR /My Device on Stowbox/ok.txt\r\n", "150 Send\r\n")
        .AcceptData()
        .ReceiveData()
        .Reply("226 Stored\r\n");
    Quit();
    Play(
        "expect rows 4\n"
        "check 0\ncheck 1\ncheck 2\ncheck 3\n"
        "command ID_UPLOAD\n"
        "expect box \"File Transfer Cancelled\"\n"
        "expect unchecked 0\n");
    EXPECT_EQ(server.Finish().dataReceived, "fine");
}

TEST_F(HostileNames, ServerNamesThatLeaveTheShownFolderAreNeitherWrittenNorDeletedNorShared) {
    device.WriteFile("thesis.doc", "mine");
    std::filesystem::create_directory(device.Path() / "Docs");
    ShowRemoteRoot(FileLine("../thesis.doc"));
    server.Command("SIZE ../thesis.doc\r\n", "213 5\r\n");
    // The cut pasted into the device's Docs: only the paste's PWD, no RETR and no DELE.
    server.Command("PWD\r\n", "257 \"/My Device on Stowbox\" is current\r\n");
    // Shared: the dialog asks its folder, and no share request follows.
    ShowRemoteRoot(FileLine("../thesis.doc"));
    server.Command("SIZE ../thesis.doc\r\n", "213 5\r\n");
    server.Command("PWD\r\n", "257 \"/My Device on Stowbox\" is current\r\n");
    Quit();
    Play(
        "command ID_SHOW_REMOTE\n"
        "expect row 0 \"../thesis.doc\"\n"
        "hold 0\nmenu ID_CUT\n"
        "command ID_SHOW_LOCAL\n"
        "doubletap 0\n"
        "hold none\nmenu ID_PASTE\n"
        "expect box \"File transfer Cancelled\"\n"
        "command ID_SHOW_REMOTE\n"
        "mark 0\n"
        "command ID_SHARE\n"
        "expect box \"Retrieve Failed\"\n"
        "type IDC_SHARE_FROM \"alice@example.com\"\n"
        "type IDC_SHARE_TO \"carol@example.com\"\n"
        "click IDC_GENERATE_SHARE\n"
        "expect box \"Share request failed\"\n"
        "expect title \"Share File\"\n"
        "click IDC_SHARE_CANCEL\n");
    EXPECT_EQ(transcript.str().find("url "), std::string::npos) << transcript.str();
    EXPECT_EQ(device.ReadFile("thesis.doc"), "mine");
    EXPECT_TRUE(std::filesystem::is_empty(device.Path() / "Docs"));
}

}  // namespace
