#include "platform/net/socket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "support/fd.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace platform::net;
using testing_support::Fd;
using namespace std::chrono_literals;

// A loopback socket bound to a free port; listening unless told otherwise.
class Loopback {
  public:
    explicit Loopback(bool listening = true, int backlog = 4) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* raw = reinterpret_cast<sockaddr*>(&address);
        EXPECT_EQ(::bind(m_fd.Get(), raw, sizeof address), 0);
        EXPECT_EQ(::getsockname(m_fd.Get(), raw, &length), 0);
        m_port = ntohs(address.sin_port);
        if (listening) {
            EXPECT_EQ(::listen(m_fd.Get(), backlog), 0);
        }
    }

    std::uint16_t Port() const { return m_port; }
    Fd Accept() const { return Fd(::accept(m_fd.Get(), nullptr, nullptr)); }

  private:
    Fd m_fd{::socket(AF_INET, SOCK_STREAM, 0)};
    std::uint16_t m_port = 0;
};

Network Started(Network::Options options = {}) {
    Network network(options);
    EXPECT_TRUE(network.Startup());
    return network;
}

TEST(Socket, ExchangesBytesWithALoopbackPeer) {
    Loopback server;
    Network network = Started();
    Socket socket;
    ASSERT_TRUE(socket.Create(network));
    ASSERT_TRUE(socket.Connect("localhost", server.Port()));
    EXPECT_EQ(socket.PeerAddress(), "127.0.0.1");
    Fd peer = server.Accept();
    ASSERT_TRUE(peer.Valid());

    EXPECT_EQ(socket.Send("USER me\r\n", 9), 9);
    char buffer[16] = {};
    EXPECT_EQ(::recv(peer.Get(), buffer, sizeof buffer, 0), 9);
    EXPECT_EQ(::send(peer.Get(), "331 ok\r\n", 8, 0), 8);
    Socket moved = std::move(socket);
    EXPECT_EQ(moved.Receive(buffer, sizeof buffer), 8);
    EXPECT_EQ(std::string(buffer, 8), "331 ok\r\n");
    peer.Reset();
    EXPECT_EQ(moved.Receive(buffer, sizeof buffer), 0);
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_EQ(socket.Send("x", 1), -1);
}

TEST(Socket, RoutesRedirectBeforeTheHostIsLookedUp) {
    Loopback server;
    Network network = Started();
    network.AddRoute({"127.0.0.1", 21}, {"127.0.0.1", server.Port()});
    network.AddRoute({"ftp.invalid", 21}, {"127.0.0.1", server.Port()});
    EXPECT_EQ(network.Resolve({"127.0.0.1", 22}), (Endpoint{"127.0.0.1", 22}));

    for (const char* host : {"127.0.0.1", "ftp.invalid"}) {
        Socket socket;
        ASSERT_TRUE(socket.Create(network));
        EXPECT_TRUE(socket.Connect(host, 21)) << host;
        EXPECT_EQ(socket.PeerAddress(), "127.0.0.1");
    }
}

TEST(Socket, FailuresAreReportedNotHidden) {
    Network stopped(Network::Options{.failStartup = true});
    EXPECT_FALSE(stopped.Startup());
    Socket socket;
    EXPECT_FALSE(socket.Create(stopped));
    EXPECT_FALSE(socket.Connect("127.0.0.1", 21));
    EXPECT_FALSE(socket.Create(Network()));  // never started

    Loopback notListening(false);
    Network network = Started();
    ASSERT_TRUE(socket.Create(network));
    EXPECT_FALSE(socket.Connect("127.0.0.1", notListening.Port()));
    EXPECT_FALSE(socket.Connect("no-such-host.invalid", 21));
    EXPECT_EQ(socket.PeerAddress(), std::nullopt);
}

TEST(Socket, APeerThatResetsAsTheConnectionComesAboutLeavesABrokenOneNeverAnEnd) {
    Loopback server;
    Network network = Started({.ioTimeout = 2s});
    // While the connect is awaited, the peer takes the connection and resets it at once.
    bool reset = false;
    network.SetWaitHook([&server, &reset] {
        if (std::exchange(reset, true)) {
            return;
        }
        {
            const Fd peer = server.Accept();
            const linger abort{1, 0};
            ::setsockopt(peer.Get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        }
        std::this_thread::sleep_for(20ms);  // the reset is in before the connect looks
    });
    Socket socket;
    ASSERT_TRUE(socket.Create(network));
    ASSERT_TRUE(socket.Connect("127.0.0.1", server.Port()));
    ASSERT_TRUE(reset) << "the connect was never awaited";
    char byte = 0;
    EXPECT_EQ(socket.Receive(&byte, 1), -1) << "the reset must not read as an orderly end";
    EXPECT_EQ(socket.Send("x", 1), -1);
}

TEST(Socket, SilentPeerEndsTheWaitAfterTheTimeOut) {
    Loopback server;
    Network network = Started({.ioTimeout = 200ms});
    Socket socket;
    ASSERT_TRUE(socket.Create(network));
    ASSERT_TRUE(socket.Connect("127.0.0.1", server.Port()));
    char byte = 0;
    EXPECT_EQ(socket.Receive(&byte, 1), -1);
}

// A server whose queue of waiting connections is full ignores the next one's request.
class FullServer {
  public:
    FullServer() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(m_server.Port());
        EXPECT_EQ(::connect(m_filler.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address),
                  0);
    }
    std::uint16_t Port() const { return m_server.Port(); }

  private:
    Loopback m_server{/*listening=*/true, /*backlog=*/0};
    Fd m_filler{::socket(AF_INET, SOCK_STREAM, 0)};
};

TEST(Socket, ConnectGivesUpAfterTheConnectTimeOut) {
    FullServer server;
    // Far longer than a test may take: only the connect time-out can end the wait.
    Network network = Started({.ioTimeout = 10min, .connectTimeout = 200ms});
    Socket socket;
    ASSERT_TRUE(socket.Create(network));
    EXPECT_FALSE(socket.Connect("127.0.0.1", server.Port()));
    // No server holds the device up longer than this.
    EXPECT_LE(Network().ConnectTimeout(), 20s);
    EXPECT_LE(Network().GreetingTimeout(), 20s);
}

// With a deadline, connecting and sending give up there, whatever the socket's own time-outs
// (far longer than a test may take) would allow.
TEST(Socket, ConnectAndSendWithADeadlineGiveUpThere) {
    Network network = Started({.ioTimeout = 10min, .connectTimeout = 10min});
    FullServer full;
    Socket socket;
    ASSERT_TRUE(socket.Create(network));
    EXPECT_FALSE(
        socket.Connect("127.0.0.1", full.Port(), std::chrono::steady_clock::now() + 200ms));

    // A peer that takes nothing: what fit went out, the rest did not.
    Loopback taking;
    ASSERT_TRUE(socket.Create(network));
    ASSERT_TRUE(socket.Connect("127.0.0.1", taking.Port(), std::chrono::steady_clock::now() + 10s));
    const std::vector<char> block(64 << 20, 'x');
    const int sent =
        socket.Send(block.data(), block.size(), std::chrono::steady_clock::now() + 200ms);
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, static_cast<int>(block.size()));
}

TEST(Socket, ReceiveWithADeadlineGivesUpThere) {
    Loopback server;
    Network network = Started({.ioTimeout = 10min});
    Socket socket;
    ASSERT_TRUE(socket.Create(network));
    ASSERT_TRUE(socket.Connect("127.0.0.1", server.Port()));
    const Fd peer = server.Accept();
    ASSERT_EQ(::send(peer.Get(), "ab", 2, 0), 2);
    const auto deadline = std::chrono::steady_clock::now() + 200ms;
    char byte = 0;
    EXPECT_EQ(socket.Receive(&byte, 1, deadline), 1);
    EXPECT_EQ(socket.Receive(&byte, 1, deadline), 1);
    EXPECT_EQ(byte, 'b');
    EXPECT_EQ(socket.Receive(&byte, 1, deadline), -1);
}

// A socket that has to wait calls the network's wait hook again and again, and still keeps
// the time limits; one that does not have to wait never calls it.
TEST(Socket, WaitsCallTheWaitHookAndKeepTheirTimeLimits) {
    Loopback server;
    Network network = Started({.ioTimeout = 300ms});
    std::atomic<int> calls = 0;
    network.SetWaitHook([&calls] { ++calls; });
    Socket socket;
    ASSERT_TRUE(socket.Create(network));
    ASSERT_TRUE(socket.Connect("127.0.0.1", server.Port()));
    const Fd peer = server.Accept();
    ASSERT_TRUE(peer.Valid());

    // Bytes already there: no wait.
    ASSERT_EQ(::send(peer.Get(), "220 hi\r\n", 8, 0), 8);
    char buffer[64] = {};
    calls = 0;
    EXPECT_EQ(socket.Receive(buffer, sizeof buffer), 8);
    EXPECT_EQ(calls, 0);

    // Bytes that come later: the hook runs while they are awaited, and they arrive whole.
    std::thread late([&peer, &calls] {
        for (int tries = 0; calls < 3 && tries < 400; ++tries) {
            std::this_thread::sleep_for(5ms);
        }
        ::send(peer.Get(), "226 done\r\n", 10, 0);
    });
    EXPECT_EQ(socket.Receive(buffer, sizeof buffer), 10);
    late.join();
    EXPECT_GE(calls, 3);
    EXPECT_EQ(std::string(buffer, 10), "226 done\r\n");

    // Silence ends the wait after the time-out, hook or not.
    calls = 0;
    EXPECT_EQ(socket.Receive(buffer, sizeof buffer), -1);
    EXPECT_GE(calls, 2) << "a 300 ms wait is cut into slices of at most 50 ms";

    // A peer that takes nothing: the send gives up after the time-out, having sent what fit.
    const std::vector<char> block(64 << 20, 'x');
    calls = 0;
    const int sent = socket.Send(block.data(), block.size());
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, static_cast<int>(block.size()));
    EXPECT_GE(calls, 2);
}

TEST(Endpoint, ParsesHostAndPort) {
    EXPECT_EQ(ParseEndpoint("127.0.0.1:2121"), (Endpoint{"127.0.0.1", 2121}));
    EXPECT_EQ(ParseEndpoint("ftp.example:65535"), (Endpoint{"ftp.example", 65535}));
    for (const char* bad :
         {"127.0.0.1", ":21", "host:", "host:x21", "host:21x", "host:-1", "host:+21", "host:0",
          "host:65536", "host:99999999999999999999", "a:b:21"}) {
        EXPECT_EQ(ParseEndpoint(bad), std::nullopt) << bad;
    }
}

}  // namespace
