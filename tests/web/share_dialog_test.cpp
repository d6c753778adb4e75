// The share dialog in the whole program, against a scripted FTP server and a scripted web
// host: the checks and their order, the share request's fields, and what follows it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/globals.h"
#include "dialogs/share_file_dlg.h"
#include "headless/run_script.h"
#include "platform/ui/message.h"
#include "script/run_program.h"
#include "support/program_state.h"
#include "support/scripted_ftp_server.h"
#include "support/scripted_http_server.h"
#include "support/temp_folder.h"
#include "support/test_device.h"

namespace {

using testing_support::ScriptedFtpServer;
using testing_support::ScriptedHttpServer;

const char* const kLogin =
    "type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n";
const char* const kExit = "answer yes\ncommand ID_EXIT\n";
const std::string kLimitTwelve = "HTTP/1.0 200 OK\r\n\r\n12\n";
const char* const kOneToTwelve =
    "expect path 11 \"1\" \"2\" \"3\" \"4\" \"5\" \"6\" \"7\" \"8\" \"9\" \"10\" \"11\" \"12\"\n";

// One program run: a device with a file and a folder, a scripted FTP server that has let
// alice in, and the built-in web host routed to a port.
class ShareRun {
  public:
    ShareRun() {
        // A cancelled share leaves the flag set for the next window; a run starts without.
        g_strOpenRemote.clear();
        device.WriteFile("report 1.pdf", "pdf");
        device.WriteFile("Photos/beach.jpg", "jpg");
        ftp.Greet()
            .Command("USER alice\r\n", "331 Password\r\n")
            .Command("PASS secret\r\n", "230 In\r\n")
            .NoFeatures();
    }

    script::ScriptResult Play(const std::string& script, std::uint16_t webPort) {
        ftp.Start();
        script::DeviceOptions options;
        options.root = device.Path();
        options.ftpServer = platform::net::Endpoint{"127.0.0.1", ftp.Port()};
        options.webServer = platform::net::Endpoint{"127.0.0.1", webPort};
        // What an earlier case of this process left in the program must not steer this one.
        testing_support::ResetProgramState();
        auto result = headless::RunScriptText(script, options, transcript);
        const auto& finished = ftp.Finish();
        EXPECT_EQ(finished.transcript, ftp.ExpectedTranscript());
        EXPECT_THAT(finished.problems, testing::IsEmpty());
        return result;
    }

    void Pwd(const std::string& folder) {
        ftp.Command("PWD\r\n", "257 \"" + folder + "\" is current\r\n");
    }
    // The fresh window's listing of `folder`, empty.
    void EmptyListingOf(const std::string& folder) { ftp.Listing(folder, ""); }
    void Quit() { ftp.Command("QUIT\r\n", "221 Bye\r\n").AwaitControlClosed(); }

    testing_support::TempFolder device;
    ScriptedFtpServer ftp;
    std::ostringstream transcript;
};

class ShareDialog : public ::testing::Test, public ShareRun {};

TEST_F(ShareDialog, ChecksFromThenToAfterAskingTheFolderAndCancelSendsNothing) {
    ScriptedHttpServer web({kLimitTwelve});
    Pwd("/My Device on Stowbox");
    Pwd("/My Device on Stowbox");
    Quit();
    const auto result = Play(std::string(kLogin) +
                                 // Rows: Photos, report 1.pdf. Nothing is marked yet.
                                 "check 1\n"
                                 "command ID_SHARE\n"
                                 "expect box \"Select a file to share\"\n"
                                 "mark 0\n"
                                 "doubletap 0\n"
                                 // The refill left no mark behind.
                                 "command ID_SHARE\n"
                                 "expect box \"Select a file to share\"\n"
                                 "select IDC_PATHBOX 0\n"
                                 "mark 1\n"
                                 "command ID_SHARE\n"
                                 "expect title \"Share File\"\n"
                                 "expect text IDC_SHARE_FILENAME \"report 1.pdf\"\n"
                                 "expect text IDC_SHARE_FROM \"\"\n" +
                                 kOneToTwelve +
                                 "type IDC_SHARE_PASSWORD \"pw\"\n"
                                 "type IDC_SHARE_BCC \"bcc@example.com\"\n"
                                 "click IDC_GENERATE_SHARE\n"
                                 "expect box \"Enter the From Email id\"\n"
                                 "type IDC_SHARE_FROM \"alice@example.com\"\n"
                                 "click IDC_GENERATE_SHARE\n"
                                 "expect box \"Enter the To Email id\"\n"
                                 "expect no-box\n"
                                 "expect title \"Share File\"\n"
                                 "expect text IDC_SHARE_FROM \"alice@example.com\"\n"
                                 "expect text IDC_SHARE_BCC \"bcc@example.com\"\n"
                                 "click IDC_SHARE_CANCEL\n"
                                 "expect title \"My Device\"\n"
                                 "expect rows 2\n" +
                                 kExit,
                             web.Port());
    EXPECT_EQ(result.status, 0) << result.message << '\n' << transcript.str();
    EXPECT_EQ(web.Requests().size(), 1u) << "only the download-limit query";
    EXPECT_EQ(g_strOpenRemote, L"TRUE") << "the share command set it; no window took it";
    EXPECT_EQ(transcript.str(),
              "window open \"Kestra\" CLoginDlg\n"
              "window open \"My Device\" CFileManagerDlg\n"
              "box \"Kestra.htp\" \"Select a file to share\" ok -> ok\n"
              "box \"Kestra.htp\" \"Select a file to share\" ok -> ok\n"
              "window open \"Share File\" CShareFileDlg\n"
              "box \"Kestra.htp\" \"Enter the From Email id\" ok -> ok\n"
              "box \"Kestra.htp\" \"Enter the To Email id\" ok -> ok\n"
              "window close \"Share File\" CShareFileDlg\n"
              "box \"Kestra.htp\" \"Do You Want To Exit\" yesno -> yes\n"
              "window close \"My Device\" CFileManagerDlg\n"
              "window close \"Kestra\" CLoginDlg\n");
}

TEST(ShareRequest, CarriesTheElevenFieldsInOrderThenARemoteWindowOpens) {
    struct Case {
        const char* name;
        std::string pwdReply;  // the folder the session is in; empty: PWD refused
        std::string input;     // steps in the dialog before Generate Share
        std::string query;     // what follows "?user=alice&filename=report%201.pdf$f&filepath="
    };
    const std::string from =
        "type IDC_SHARE_FROM \"alice@example.com\"\ntype IDC_SHARE_TO \"carol@example.com\"\n";
    const Case cases[] = {
        {"subfolder, defaults", "/My Device on Stowbox/Docs", from,
         "My%20Device%20on%20Stowbox/Docs/&NOD=12&password=&write=FALSE&stowpassword=secret"
         "&TO=carol@example.com&BCC=&FROM=alice@example.com"},
        {"remote root, write, chosen number, BCC, awkward password", "/My Device on Stowbox",
         from + "setcheck IDC_SHARE_WRITE on\nselect IDC_SHARE_DOWNLOADS 2\ntype IDC_SHARE_BCC "
                "\"dave@example.com\"\n"
                "type IDC_SHARE_PASSWORD \"p w&write=TRUE\"\n",
         "My%20Device%20on%20Stowbox/&NOD=3&password=p%20w%26write%3DTRUE&write=TRUE"
         "&stowpassword=secret&TO=carol@example.com&BCC=dave@example.com"
         "&FROM=alice@example.com"},
        {"the account's top", "/", from,
         "&NOD=12&password=&write=FALSE&stowpassword=secret&TO=carol@example.com&BCC="
         "&FROM=alice@example.com"},
        {"unreadable folder", "", from,
         "/&NOD=12&password=&write=FALSE&stowpassword=secret&TO=carol@example.com&BCC="
         "&FROM=alice@example.com"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShareRun run;
        if (c.pwdReply.empty()) {
            run.ftp.Command("PWD\r\n", "550 Cannot tell\r\n");
        } else {
            run.Pwd(c.pwdReply);
        }
        run.EmptyListingOf(c.pwdReply.empty() ? "/" : c.pwdReply);
        run.Quit();
        ScriptedHttpServer web({kLimitTwelve, "HTTP/1.0 200 OK\r\n\r\nmailed\n"});
        const auto result = run.Play(std::string(kLogin) + "mark 1\ncommand ID_SHARE\n" + c.input +
                                         "click IDC_GENERATE_SHARE\n"
                                         // A fresh window in the Remote view, titled as ever.
                                         "expect title \"My Device\"\n"
                                         "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
                                         "expect hidden ID_UPLOAD ID_HELP ID_MOVE\n"
                                         "expect no-box\n" +
                                         kExit,
                                     web.Port());
        EXPECT_EQ(result.status, 0) << result.message << '\n' << run.transcript.str();
        const std::string target =
            "/qmanager/servlet/KestraShare?user=alice&filename=report%201.pdf$f&filepath=" +
            c.query;
        ASSERT_EQ(web.Requests().size(), 2u);
        const std::string share = web.Requests()[1];
        EXPECT_EQ(share.substr(0, share.find("\r\n")), "GET " + target + " HTTP/1.1");
        EXPECT_NE(share.find("\r\nHost: 127.0.0.1\r\n"), std::string::npos) << share;
        EXPECT_EQ(share.find("User-Agent"), std::string::npos) << share;
        EXPECT_EQ(run.transcript.str(),
                  "window open \"Kestra\" CLoginDlg\n"
                  "window open \"My Device\" CFileManagerDlg\n"
                  "window open \"Share File\" CShareFileDlg\n"
                  "url \"HTTP://127.0.0.1" +
                      target +
                      "\"\n"
                      "window open \"My Device\" CFileManagerDlg\n"
                      "box \"Kestra.htp\" \"Do You Want To Exit\" yesno -> yes\n"
                      "window close \"My Device\" CFileManagerDlg\n"
                      "window close \"Share File\" CShareFileDlg\n"
                      "window close \"My Device\" CFileManagerDlg\n"
                      "window close \"Kestra\" CLoginDlg\n");
    }
}

TEST_F(ShareDialog, AnUnreachableWebHostIsReportedAndTheDialogStaysWithItsEntries) {
    std::uint16_t closedPort = 0;
    {
        ScriptedHttpServer gone({});
        closedPort = gone.Port();
    }
    Pwd("/My Device on Stowbox");
    Quit();
    const auto result = Play(std::string(kLogin) +
                                 "mark 1\n"
                                 "command ID_SHARE\n"
                                 "expect box \"Retrieve Failed\"\n"
                                 "expect path 4 \"1\" \"2\" \"3\" \"4\" \"5\"\n"
                                 "type IDC_SHARE_FROM \"alice@example.com\"\n"
                                 "type IDC_SHARE_TO \"carol@example.com\"\n"
                                 "click IDC_GENERATE_SHARE\n"
                                 "expect box \"The web host could not be reached. (127.0.0.1)\"\n"
                                 "expect no-box\n"
                                 "expect title \"Share File\"\n"
                                 "expect text IDC_SHARE_FROM \"alice@example.com\"\n"
                                 "expect text IDC_SHARE_TO \"carol@example.com\"\n"
                                 "click IDC_SHARE_CANCEL\n" +
                                 kExit,
                             closedPort);
    EXPECT_EQ(result.status, 0) << result.message << '\n' << transcript.str();
    const std::string text = transcript.str();
    const std::string report =
        "box \"Kestra.htp\" \"The web host could not be reached. (127.0.0.1)\" ok -> ok\n";
    EXPECT_NE(text.find("url \"HTTP://127.0.0.1/qmanager/servlet/KestraShare?"), std::string::npos);
    EXPECT_NE(text.find(report), std::string::npos) << text;
    EXPECT_LT(text.find("url "), text.find(report));
    EXPECT_EQ(text.find("window open \"My Device\" CFileManagerDlg", text.find(report)),
              std::string::npos)
        << "no window opened after the failure:\n"
        << text;
}

TEST(ShareRefusal, AnyStatusButSuccessIsReportedAndTheDialogStaysWithItsEntries) {
    for (const char* status : {"403 Forbidden", "404 Not Found", "500 Server Error"}) {
        SCOPED_TRACE(status);
        ShareRun run;
        run.Pwd("/My Device on Stowbox");
        run.Quit();
        ScriptedHttpServer web({kLimitTwelve, std::string("HTTP/1.0 ") + status + "\r\n\r\nno\n"});
        const auto result = run.Play(std::string(kLogin) +
                                         "mark 1\n"
                                         "command ID_SHARE\n"
                                         "type IDC_SHARE_FROM \"alice@example.com\"\n"
                                         "type IDC_SHARE_TO \"carol@example.com\"\n"
                                         "click IDC_GENERATE_SHARE\n"
                                         "expect box \"Share request failed\"\n"
                                         "expect title \"Share File\"\n"
                                         "expect text IDC_SHARE_FROM \"alice@example.com\"\n"
                                         "expect text IDC_SHARE_TO \"carol@example.com\"\n"
                                         "click IDC_SHARE_CANCEL\n" +
                                         kExit,
                                     web.Port());
        EXPECT_EQ(result.status, 0) << result.message << '\n' << run.transcript.str();
        EXPECT_EQ(web.Requests().size(), 2u);
    }
}

TEST(ShareDialogChecks, AnEmptyUserNameComesFirstAndNothingIsAsked) {
    ScriptedHttpServer web({kLimitTwelve});
    testing_support::TestDevice::Options options;
    options.webPort = web.Port();
    testing_support::TestDevice device(options);
    theApp.m_strUserName.clear();
    theApp.m_strShareName = L"report 1.pdf";
    platform::ui::Message click;
    click.kind = platform::ui::MessageKind::Command;
    click.id = 1036;
    device.Frontend().QueueInput(click);
    click.id = 1010;
    device.Frontend().QueueInput(click);
    {
        CShareFileDlg dlg;
        dlg.RunModal();
    }
    ASSERT_EQ(device.Frontend().MessageBoxes().size(), 1u);
    EXPECT_EQ(device.Frontend().MessageBoxes()[0].text, L"Enter User Name");
    EXPECT_EQ(web.Requests().size(), 1u);
    EXPECT_TRUE(device.Frontend().OpenedUrls().empty());
    EXPECT_FALSE(device.Frontend().WaitCursorShown());
}

}  // namespace
