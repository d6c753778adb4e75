// A control connection that dies, stalls or talks nonsense: the session gives up once and
// every later command fails at once.

#include <functional>
#include <vector>

#include "ftp_fixture.h"

namespace {

using namespace std::chrono_literals;

// The client's patience, short so that no test waits long; the scripted server waits 15 s
// for each step, so a client that waited longer than this would leave a problem behind.
constexpr auto kPatience = 300ms;

class DeadConnection : public FtpTest {
  protected:
    DeadConnection() : FtpTest(kPatience) {}

    // The session is closed and nothing it is asked afterwards reaches a server.
    void ExpectEverythingFailsAtOnce() {
        EXPECT_FALSE(session.IsConnected());
        device.WriteFile("a.txt", "abc");
        device.WriteFile("b.txt", "device b");
        EXPECT_FALSE(session.SendCommand(L"NOOP"));
        EXPECT_EQ(session.ReadReply(), L"");
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyConnectionLost);
        EXPECT_EQ(session.GetCurrentDir(), L"");
        std::wstring listing = L"unchanged";
        EXPECT_FALSE(session.List(L"", listing));
        EXPECT_EQ(listing, L"unchanged");
        EXPECT_FALSE(session.StoreFile(L"a.txt", L"a.txt"));
        EXPECT_FALSE(session.RetrieveFile(L"b.txt", L"b.txt"));
        EXPECT_FALSE(session.Rename(L"a", L"b"));
        EXPECT_FALSE(session.RemoveDir(L"x"));
        EXPECT_FALSE(session.Login(L"bob", L"pw"));
        EXPECT_FALSE(session.Quit());
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyConnectionLost);
        EXPECT_EQ(device.ReadFile("b.txt"), "device b");
    }
};

TEST_F(DeadConnection, SilentServerCostsOneWaitThenTheSessionIsClosed) {
    server.Greet()
        .Expect("PWD\r\n")  // never answered
        .AwaitControlClosed()
        .Greet("220 Again\r\n")
        .Command("NOOP\r\n", "200 Ok\r\n");
    StartAndConnect();
    EXPECT_EQ(session.GetCurrentDir(), L"");
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyConnectionLost);
    ExpectEverythingFailsAtOnce();

    // A new Connect starts afresh.
    ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
    EXPECT_TRUE(session.SendCommand(L"NOOP"));
    EXPECT_EQ(session.ReadReply(), L"200 Ok\r\n");
    EXPECT_EQ(ExpectScriptRan().controlConnections, 2);
}

TEST_F(DeadConnection, EndOfTheControlStreamClosesTheSession) {
    server.Greet().Expect("USER bob\r\n").CloseControl();
    StartAndConnect();
    EXPECT_FALSE(session.Login(L"bob", L"pw"));
    ExpectEverythingFailsAtOnce();
    ExpectScriptRan();
}

TEST_F(DeadConnection, RepliesThatAreNoRepliesBreakTheConnection) {
    const std::uint64_t kOversized = 10 << 20;
    struct Case {
        const char* what;
        std::function<void(testing_support::ScriptedFtpServer&)> reply;
    };
    const std::vector<Case> cases = {
        // What follows would pass for a reply if the client read on.
        {"shorter than four characters", [](auto& s) { s.Reply("22\r\n200 Fine\r\n"); }},
        {"an empty line", [](auto& s) { s.Reply("\r\n200 Fine\r\n"); }},
        {"a line without end", [](auto& s) { s.ReplyOversized("200 ", kOversized); }},
        {"endless continuation lines",
         [](auto& s) { s.ReplyOversized("211-Status\r\n", kOversized / 4, "more status\r\n"); }},
        {"a line that trickles in",
         [](auto& s) { s.Drip("200 " + std::string(200, '.') + "\r\n", 20ms); }},
    };
    for (const Case& c : cases) {
        server.Greet().Expect("NOOP\r\n");
        c.reply(server);
        server.AwaitControlClosed();
    }
    server.Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
        EXPECT_TRUE(session.SendCommand(L"NOOP"));
        session.ReadReply();
        EXPECT_EQ(session.GetReplyCode(), ftp::kReplyConnectionLost);
        EXPECT_LE(session.GetReplyText().size(), 64u * 1024);
        EXPECT_FALSE(session.SendCommand(L"NOOP"));
    }
    ExpectScriptRan();
}

TEST_F(DeadConnection, ConnectWaitsForTheGreetingOnlySoLong) {
    // The greeting wait has its own limit, shorter than the time a reply may take.
    testing_support::TestDevice::Options options = RoutedTo(server.Port(), 60s, kPatience);
    server.Accept()
        .AwaitControlClosed()  // says nothing
        .Accept()
        .Drip("220 " + std::string(200, '.') + "\r\n", 20ms)  // says it too slowly
        .AwaitControlClosed();
    server.Start();
    testing_support::TestDevice patient(options);
    EXPECT_FALSE(session.Connect(L"127.0.0.1", 21));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyConnectionLost);
    EXPECT_FALSE(session.Connect(L"127.0.0.1", 21));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyConnectionLost);
    EXPECT_FALSE(session.IsConnected());
    ExpectScriptRan();
}

}  // namespace
