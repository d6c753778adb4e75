#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <atomic>
#include <string>

#include "platform/net/socket.h"
#include "tls_server.h"

namespace {

using namespace platform::net;
using namespace std::chrono_literals;
using tls_testing::Ending;
using tls_testing::ServerSetup;
using tls_testing::TlsServer;
using Clock = std::chrono::steady_clock;

// "ping" out, "pong" back, then the server's end: only close_notify is one; a stream cut
// without it is an error, so a transfer cannot pass for whole.
void ExpectExchange(Socket& socket, Ending ending) {
    EXPECT_EQ(socket.Send("ping", 4), 4);
    char buffer[8] = {};
    EXPECT_EQ(socket.Receive(buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "pong");
    EXPECT_EQ(socket.Receive(buffer, sizeof buffer), ending == Ending::CloseNotify ? 0 : -1);
    EXPECT_EQ(socket.LastTlsFailure().reason.empty(), ending == Ending::CloseNotify);
}

struct Case {
    const char* name;
    const char* host;  // where a route leads the built-in address: the test server
    ServerSetup server;
    std::chrono::milliseconds handshakeLimit;
    int waitsAtLeast;     // calls of the wait hook during the handshake
    const char* refusal;  // part of the reason the handshake fails for; null: it succeeds
    bool untrusted;
};

const Case kCases[] = {
    {"address, TLS 1.3, clean end",
     "127.0.0.1",
     {true, TLS1_3_VERSION, Ending::CloseNotify},
     10s,
     1,
     nullptr,
     false},
    {"name, TLS 1.2, cut end",
     "localhost",
     {true, TLS1_2_VERSION, Ending::Cut},
     10s,
     1,
     nullptr,
     false},
    {"unknown authority",
     "127.0.0.1",
     {false, TLS1_3_VERSION, Ending::CloseNotify},
     10s,
     1,
     "unable to get local issuer certificate",
     true},
    {"a name the certificate does not carry",
     "localhost",
     {true, TLS1_3_VERSION, Ending::CloseNotify, "DNS:ftp.example,IP:127.0.0.1"},
     10s,
     1,
     "hostname mismatch",
     true},
    {"an address the certificate does not carry",
     "127.0.0.1",
     {true, TLS1_2_VERSION, Ending::CloseNotify, "DNS:localhost,IP:127.0.0.2"},
     10s,
     1,
     "IP address mismatch",
     true},
    {"silent server",
     "127.0.0.1",
     {true, TLS1_3_VERSION, Ending::Silent},
     300ms,
     2,  // again and again, however busy the machine (slices of 50 ms when it is idle)
     "in time",
     false},
};

TEST(Tls, ProtectsVerifiesResumesAndTellsAnEndFromACut) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TlsServer server(c.server);
        // An I/O time-out well beyond the silent server's deadline: only that may end its wait.
        Network network({.ioTimeout = 5s, .caFile = server.CaFile()});
        ASSERT_TRUE(network.Startup());
        // The certificate must name where the route leads, not the address it was aimed at.
        network.AddRoute({"127.0.0.9", 21}, {c.host, server.Port()});
        std::atomic<int> waits = 0;
        network.SetWaitHook([&waits] { ++waits; });

        Socket control;
        ASSERT_TRUE(control.Create(network));
        ASSERT_TRUE(control.Connect("127.0.0.9", 21));
        const auto start = Clock::now();
        const bool protectedNow = control.StartTls({}, start + c.handshakeLimit);
        EXPECT_GE(waits, c.waitsAtLeast);
        if (c.refusal != nullptr) {
            EXPECT_FALSE(protectedNow);
            EXPECT_THAT(control.LastTlsFailure().reason, testing::HasSubstr(c.refusal));
            EXPECT_EQ(control.LastTlsFailure().untrusted, c.untrusted);
            EXPECT_FALSE(control.IsOpen()) << "nothing may go out in clear after a refusal";
            EXPECT_LT(Clock::now() - start, c.handshakeLimit + 2s);
            continue;
        }
        ASSERT_TRUE(protectedNow) << control.LastTlsFailure().reason;
        EXPECT_TRUE(control.IsProtected());
        EXPECT_FALSE(control.Resumed());
        // Taken before anything was read after the handshake, where TLS 1.3 sends the session.
        server.WaitForHandshakes(1);
        const TlsSession session = control.SessionToResume();
        ASSERT_FALSE(session.IsEmpty());

        // Data connections resume the control connection's session, even after one was cut.
        for (int transfer = 0; transfer < 2; ++transfer) {
            Socket data;
            ASSERT_TRUE(data.Create(network));
            // As an FTP data connection: to the control connection's address, proving its host.
            ASSERT_TRUE(data.Connect(*control.PeerAddress(), server.Port()));
            ASSERT_TRUE(data.StartTls({control.ConnectedHost(), session}, Clock::now() + 10s));
            EXPECT_TRUE(data.Resumed());
            ExpectExchange(data, c.server.ending);
        }
        ExpectExchange(control, c.server.ending);
        control.Close();
        if (c.server.ending == Ending::CloseNotify) {
            EXPECT_TRUE(server.WaitForCleanEnds(3)) << "the client's close must be a clean end";
        }
    }
}

}  // namespace
