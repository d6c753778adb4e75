#pragma once
// A scripted loopback FTP server for tests: every reply is written down beforehand, the
// steps run in order on the server's own thread, and afterwards the test compares the
// exact bytes the client sent.
//
//   ScriptedFtpServer server;
//   server.Greet().Command("USER bob\r\n", "331 Password please\r\n");
//   server.Start();
//   ... drive the client against 127.0.0.1:server.Port() ...
//   const auto& result = server.Finish();
//   EXPECT_EQ(result.transcript, server.ExpectedTranscript());
//   EXPECT_THAT(result.problems, testing::IsEmpty());
//
// Every wait of the server is bounded, so a client that goes astray fails the test instead
// of hanging it. When the script ends, the server stops writing on the control connection
// (a client still waiting for a reply sees the connection end) but keeps reading it, so
// that the transcript also holds whatever the client sent beyond the script.
//
// Command lines are taken one per Expect step, however they arrived: a client may send
// several ahead of their replies (pipelining). Options::replyDelay makes a slow server, and
// Result::linesWaiting tells how far ahead the client was at each command.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class ScriptedFtpServer {
  public:
    struct Options {
        std::chrono::milliseconds stepTimeout{std::chrono::seconds(15)};
        // How long Finish() still waits for what a step expects before giving up on it.
        std::chrono::milliseconds finishGrace{std::chrono::milliseconds(500)};
        // Every Reply and ReplyPasv step first waits this long: a slow link or server.
        std::chrono::milliseconds replyDelay{0};
    };

    struct Result {
        std::string transcript;              // every byte read on control connections, in order
        std::string dataReceived;            // every byte kept by ReceiveData()
        std::uint64_t patternBytes = 0;      // bytes checked by ReceivePattern()
        int controlConnections = 0;          // accepted
        int dataConnections = 0;             // accepted
        bool dataConnectionWaiting = false;  // a data connection came that no step accepted
        bool dataEndedByReset = false;       // StallData(): the client reset the connection
        std::uint64_t floodBytes = 0;        // sent by the Oversized steps before the client quit
        std::vector<std::string> problems;   // mismatches, time-outs, steps never reached
        // Per Expect step, how many whole command lines had already arrived when it began:
        // 0 means the server waited for the client (a round trip), more means the client
        // sent ahead of the replies.
        std::vector<int> linesWaiting;
    };

    ScriptedFtpServer();
    explicit ScriptedFtpServer(Options options);
    ~ScriptedFtpServer();
    ScriptedFtpServer(const ScriptedFtpServer&) = delete;
    ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

    std::uint16_t Port() const;      // control listener on 127.0.0.1
    std::uint16_t DataPort() const;  // passive data listener on 127.0.0.1

    // Script steps, added before Start().
    ScriptedFtpServer& Accept();                  // the next control connection
    ScriptedFtpServer& Reply(std::string bytes);  // sent as given: greeting, reply, part of one
    ScriptedFtpServer& Expect(std::string line);  // one command line (through its LF) read
    ScriptedFtpServer& ReplyPasv(std::string addressNumbers = "127,0,0,1");  // 227 with DataPort()
    ScriptedFtpServer& AcceptData();                      // the next data connection
    ScriptedFtpServer& SendData(std::string bytes);       // one send on the data connection
    ScriptedFtpServer& SendPattern(std::uint64_t count);  // Pattern(0, count), generated
    ScriptedFtpServer& ReceiveData();     // keeps data until the client closes its side
    ScriptedFtpServer& ReceivePattern();  // like ReceiveData, but checks against Pattern()
    ScriptedFtpServer& CloseData();
    ScriptedFtpServer& ResetData();           // abortive close: the client's next I/O fails
    ScriptedFtpServer& CloseControl();        // ends the control connection, answered or not
    ScriptedFtpServer& AwaitControlClosed();  // reads the control connection until it ends
    // Reads nothing from the data connection and waits until the client ends it (noting
    // whether with a reset): a server that stalls, for a client that must give up.
    ScriptedFtpServer& StallData();
    // Sends the bytes one at a time, `interval` apart, and stops early, without complaint,
    // when the client closes the control connection meanwhile.
    ScriptedFtpServer& Drip(std::string bytes, std::chrono::milliseconds interval);
    // `prefix`, then `count` bytes of `filler` repeated, on the control connection; stops
    // without complaint when the client stops taking them.
    ScriptedFtpServer& ReplyOversized(std::string prefix, std::uint64_t count,
                                      std::string filler = "x");
    // Like SendPattern, but the client may end the data connection before all is sent.
    ScriptedFtpServer& SendDataOversized(std::uint64_t count);

    ScriptedFtpServer& Greet(std::string text = "220 Stowbox FTP ready\r\n") {
        return Accept().Reply(std::move(text));
    }
    ScriptedFtpServer& Command(std::string line, std::string reply) {
        return Expect(std::move(line)).Reply(std::move(reply));
    }
    // The features asked for after every login: a server that has no FEAT, so names go in
    // the device's code page.
    ScriptedFtpServer& NoFeatures() {
        return Command("FEAT\r\n", "502 Command not implemented\r\n");
    }
    // How the program lists a folder: PWD answered with `folder`, then a passive LIST whose
    // data is `listing` (none when empty).
    ScriptedFtpServer& Listing(const std::string& folder, const std::string& listing);

    void Start();
    // Lets the script run out (a step still waiting gets Options::finishGrace), stops the
    // thread and gives what happened. Later calls give the same result.
    const Result& Finish();

    // The Expect() lines joined: the transcript of a client that did as scripted.
    std::string ExpectedTranscript() const;

    // Deterministic test bytes (no short period, every byte value) for `count` bytes from
    // `offset` on.
    static std::string Pattern(std::uint64_t offset, std::size_t count);

  private:
    enum class StepKind;
    class Runner;  // the listeners, the thread and the steps
    ScriptedFtpServer& Add(StepKind kind, std::string text = {}, std::uint64_t count = 0,
                           std::chrono::milliseconds interval = {}, std::string filler = {});

    std::unique_ptr<Runner> m_runner;
};

}  // namespace testing_support
