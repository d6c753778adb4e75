// The control connection: command lines and replies as exact bytes.

#include "ftp_fixture.h"

namespace {

using ControlConnection = FtpTest;

TEST_F(ControlConnection, ReplyEndsAtTheLineWhoseFourthCharacterIsABlank) {
    server.Greet("220 Ready\r\n")
        .Expect("NOOP\r\n")
        .Reply("200 One line\r\n250 Next reply\r\n")  // one send, two replies
        .Expect("HELP\r\n")
        .Reply("214-First\r\n214-Second\r\n214 End\r\n")
        .Expect("STAT\r\n")
        .Reply("211-Start\r\nab\r\nxyz early end\r\n211 Rest\r\n");
    StartAndConnect();

    EXPECT_TRUE(session.SendCommand(L"NOOP"));
    EXPECT_EQ(session.ReadReply(), L"200 One line\r\n");
    EXPECT_EQ(session.GetReplyCode(), 200);
    EXPECT_EQ(session.ReadReply(), L"250 Next reply\r\n");
    EXPECT_EQ(session.GetReplyCode(), 250);

    session.SendCommand(L"HELP");
    EXPECT_EQ(session.ReadReply(), L"214-First\r\n214-Second\r\n214 End\r\n");
    EXPECT_EQ(session.GetReplyCode(), 214);
    EXPECT_EQ(session.GetReplyText(), L"214-First\r\n214-Second\r\n214 End\r\n");

    // A short line never ends a reply; any line with a blank as fourth character does.
    session.SendCommand(L"STAT");
    EXPECT_EQ(session.ReadReply(), L"211-Start\r\nab\r\nxyz early end\r\n");
    EXPECT_EQ(session.GetReplyCode(), 211);
    EXPECT_EQ(session.ReadReply(), L"211 Rest\r\n");
    ExpectScriptRan();
}

TEST_F(ControlConnection, CommandsGoOutInTheCodePageWithOneCrLf) {
    server.Greet().Command("NOOP\r\n", "200 Ok\r\n").Command("CWD Caf\xE9 \x80\r\n", "250 Ok\r\n");
    StartAndConnect();
    EXPECT_TRUE(session.SendCommand(L"NOOP\r\n"));
    session.ReadReply();
    EXPECT_TRUE(session.SendCommand(L"CWD Caf\u00E9 \u20AC"));
    session.ReadReply();
    EXPECT_FALSE(session.SendCommand(L""));
    EXPECT_EQ(ExpectScriptRan().transcript, "NOOP\r\nCWD Caf\xE9 \x80\r\n");
}

TEST_F(ControlConnection, GreetingOtherThan220FailsConnect) {
    server.Greet("421 Too many users\r\n");
    server.Start();
    EXPECT_FALSE(session.Connect(L"127.0.0.1", 21));
    EXPECT_EQ(session.GetReplyCode(), 421);
    ExpectScriptRan();
}

TEST_F(ControlConnection, ConnectionEndingInsideAReplyStopsReadReply) {
    server.Greet().Expect("USER bob\r\n").Reply("331-Password\r\n331 and more").CloseControl();
    StartAndConnect();
    EXPECT_FALSE(session.Login(L"bob", L"pw"));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyConnectionLost);
    EXPECT_EQ(session.GetReplyText(), L"331-Password\r\n331 and more");
    ExpectScriptRan();
}

TEST_F(ControlConnection, LoginSendsPassOnlyAfter331) {
    server.Greet()
        .Command("USER bob\r\n", "230 Welcome without password\r\n")
        .Command("USER bob\r\n", "331 Password\r\n")
        .Command("PASS wrong\r\n", "530 Not logged in\r\n")
        .Command("USER bob\r\n", "331 Password\r\n")
        .Command("PASS secret\r\n", "230 Logged in\r\n")
        .NoFeatures();
    StartAndConnect();
    EXPECT_FALSE(session.Login(L"bob", L"secret"));
    EXPECT_FALSE(session.Login(L"bob", L"wrong"));
    EXPECT_EQ(session.GetReplyCode(), 530);
    EXPECT_TRUE(session.Login(L"bob", L"secret"));
    ExpectScriptRan();
}

TEST_F(ControlConnection, CurrentDirIsTheTextBetweenTheFirstTwoQuotes) {
    server.Greet()
        .Command("PWD\r\n", "257 \"/My Device on Stowbox\" is the current directory\r\n")
        .Command("PWD\r\n", "257 /home/bob\r\n")
        .Command("PWD\r\n", "257 \"/unclosed\r\n")
        .Command("PWD\r\n", "550 \"/not/a/path\"\r\n");
    StartAndConnect();
    EXPECT_EQ(session.GetCurrentDir(), L"/My Device on Stowbox");
    EXPECT_EQ(session.GetCurrentDir(), L"");
    EXPECT_EQ(session.GetCurrentDir(), L"");
    EXPECT_EQ(session.GetCurrentDir(), L"");
    ExpectScriptRan();
}

// Commands whose answers nothing waits for go out together: a CWD with the log-in's FEAT, a
// PWD with the download after it, TYPE I with PASV and RETR. The folder the PWD named is still
// where a mended session returns.
TEST(CommandsSentAhead, CostNoRoundTripsAndThePwdStillGuidesTheMend) {
    testing_support::ScriptedFtpServer::Options slow;
    slow.replyDelay = std::chrono::milliseconds(20);  // a client that waited would lag behind
    testing_support::ScriptedFtpServer server(slow);
    testing_support::TestDevice::Options options;
    options.ftpPort = server.Port();
    testing_support::TestDevice device(options);
    const auto login = [&server] {
        server.Command("USER bob\r\n", "331 Password\r\n")
            .Command("PASS pw\r\n", "230 In\r\n")
            .NoFeatures();
    };
    server.Greet();
    login();
    server.Command("CWD /Music\r\n", "250 Ok\r\n")
        .Command("PWD\r\n", "257 \"/Music\" is the current directory\r\n")
        .Command("TYPE I\r\n", "200 Type set to I\r\n")
        .Expect("PASV \r\n")
        .ReplyPasv()
        .Command("RETR a.bin\r\n", "150 Opening (3 bytes)\r\n")
        .AcceptData()
        .SendData("abc")
        .CloseData()
        .Reply("226 Done\r\n")
        .Command("NOOP\r\n", "421 Going away\r\n")
        .AwaitControlClosed()
        .Greet();
    login();
    server.Command("CWD /Music\r\n", "250 Ok\r\n").Command("NOOP\r\n", "200 Ok\r\n");
    server.Start();

    CFtpSession session;
    ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
    ASSERT_TRUE(session.Login(L"bob", L"pw"));
    EXPECT_TRUE(session.SendAndRead(L"CWD /Music"));
    EXPECT_EQ(session.GetReplyCode(), 250);
    session.SendCurrentDirAhead();
    EXPECT_TRUE(session.RetrieveFile(L"a.bin", L"a.bin"));
    EXPECT_EQ(device.ReadFile("a.bin"), "abc");
    EXPECT_EQ(session.CurrentDirAhead(), L"/Music");
    session.SendAndRead(L"NOOP");
    EXPECT_EQ(session.TakeConnectionNotice(), CFtpSession::ConnectionNotice::Lost);
    session.SendAndRead(L"NOOP");
    EXPECT_EQ(session.GetReplyCode(), 200);

    const auto& result = server.Finish();
    EXPECT_EQ(result.transcript, server.ExpectedTranscript());
    EXPECT_THAT(result.problems, testing::IsEmpty());
    // Steps: USER, PASS, FEAT, CWD, PWD, TYPE I, PASV, RETR, ...
    ASSERT_GE(result.linesWaiting.size(), 8u);
    EXPECT_GE(result.linesWaiting[3], 1) << "CWD went out before FEAT was answered";
    EXPECT_GE(result.linesWaiting[5], 1) << "TYPE I went out before the PWD was answered";
    EXPECT_GE(result.linesWaiting[6], 1) << "PASV went out with TYPE I";
    EXPECT_GE(result.linesWaiting[7], 1) << "RETR went out with PASV";
}

TEST_F(ControlConnection, QuitClosesOnlyOn221) {
    server.Greet()
        .Command("QUIT\r\n", "500 Not now\r\n")
        .Command("NOOP\r\n", "200 Still here\r\n")
        .Command("QUIT\r\n", "221 Goodbye\r\n")
        .AwaitControlClosed();
    StartAndConnect();
    EXPECT_FALSE(session.Quit());
    ASSERT_TRUE(session.IsConnected());
    EXPECT_TRUE(session.SendCommand(L"NOOP"));
    EXPECT_EQ(session.ReadReply(), L"200 Still here\r\n");
    EXPECT_TRUE(session.Quit());
    EXPECT_FALSE(session.IsConnected());
    ExpectScriptRan();
}

TEST_F(ControlConnection, WithoutConnectionNothingIsSentAndTheOldReplyStays) {
    server.Greet("220 Ready\r\n").AwaitControlClosed();
    server.Start();
    CFtpSession fresh;
    EXPECT_TRUE(fresh.SendCommand(L"NOOP"));
    EXPECT_EQ(fresh.ReadReply(), L"");
    EXPECT_EQ(fresh.GetReplyCode(), 0);
    EXPECT_FALSE(fresh.Quit());

    ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
    session.Close();
    EXPECT_TRUE(session.SendCommand(L"NOOP"));
    EXPECT_EQ(session.ReadReply(), L"");
    EXPECT_EQ(session.GetReplyCode(), 220);
    EXPECT_EQ(session.GetReplyText(), L"220 Ready\r\n");
    ExpectScriptRan();
}

TEST_F(ControlConnection, ConnectAgainStartsAFreshConnection) {
    server.Greet()
        .Command("USER bob\r\n", "530 Unknown\r\n")
        .Greet("220 Second\r\n")
        .Command("USER alice\r\n", "331 Password\r\n");
    StartAndConnect();
    session.Login(L"bob", L"x");
    ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
    EXPECT_EQ(session.GetReplyText(), L"220 Second\r\n");
    session.SendCommand(L"USER alice");
    EXPECT_EQ(session.ReadReply(), L"331 Password\r\n");
    EXPECT_EQ(ExpectScriptRan().controlConnections, 2);
}

TEST(ControlConnectionRefused, ConnectFailsWhenNobodyListens) {
    testing_support::TestDevice device;
    std::uint16_t port = 0;
    {
        testing_support::ScriptedFtpServer gone;  // its ports are free again afterwards
        port = gone.Port();
    }
    CFtpSession session;
    EXPECT_FALSE(session.Connect(L"127.0.0.1", port));
    EXPECT_FALSE(session.IsConnected());
}

}  // namespace
