#pragma once
// Blocking IPv4 stream sockets.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform::net {

class Network;

struct Endpoint {
    std::string host;  // dotted address or name
    std::uint16_t port{};
    bool operator==(const Endpoint&) const = default;
};

// Parses "HOST:PORT"; nothing when malformed.
std::optional<Endpoint> ParseEndpoint(const std::string& text);

// One blocking stream socket, closed by its destructor.
class Socket {
  public:
    Socket() = default;
    ~Socket();
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;

    // Creates the socket on any local port (closing an earlier one). Fails when the
    // network's socket layer is not started or the system refuses.
    bool Create(const Network& network);
    // Looks the host up (dotted address or name), applies the network's routes and
    // connects within the network's connect time-out. Send and receive then give up after
    // the network's I/O time-out.
    bool Connect(const std::string& host, std::uint16_t port);
    // As Connect, but also gives up once `deadline` has passed.
    bool Connect(const std::string& host, std::uint16_t port,
                 std::chrono::steady_clock::time_point deadline);
    // Bytes sent (may be fewer than asked), or -1 on error.
    int Send(const void* data, std::size_t count);
    // As Send, but gives up once `deadline` has passed, however slowly the peer takes bytes.
    int Send(const void* data, std::size_t count, std::chrono::steady_clock::time_point deadline);
    // Bytes received, 0 when the peer closed, -1 on error or time-out.
    int Receive(void* buffer, std::size_t count);
    // As Receive, but gives up (-1) once `deadline` has passed, however the bytes trickle in.
    int Receive(void* buffer, std::size_t count, std::chrono::steady_clock::time_point deadline);
    void Close();
    // Closes with a reset, so the peer sees a broken connection rather than a finished one.
    void Abort();
    bool IsOpen() const { return m_fd >= 0; }
    // The dotted address of the connected peer, after routing.
    std::optional<std::string> PeerAddress() const;

  private:
    bool ConnectUntil(const std::string& host, std::uint16_t port,
                      const std::optional<std::chrono::steady_clock::time_point>& deadline);
    // Without `deadline`, each wait for the peer gets the network's I/O time-out afresh.
    int SendUntil(const void* data, std::size_t count,
                  const std::optional<std::chrono::steady_clock::time_point>& deadline);
    int ReceiveUntil(void* buffer, std::size_t count,
                     const std::optional<std::chrono::steady_clock::time_point>& deadline);

    int m_fd = -1;
    const Network* m_network = nullptr;
};

// The device's socket layer: start-up, address routes, time-outs.
class Network {
  public:
    struct Options {
        bool failStartup = false;  // lets a test make start-up fail
        // A silent peer ends a wait after this: one send, one receive, one whole reply.
        std::chrono::milliseconds ioTimeout{std::chrono::seconds(30)};
        // A web request, connection included, ends after this whatever the host does.
        std::chrono::milliseconds webTimeout{std::chrono::seconds(20)};
        // A connection that has not come about by then never will.
        std::chrono::milliseconds connectTimeout{std::chrono::seconds(20)};
        // A server that does not greet within this is not one to talk to.
        std::chrono::milliseconds greetingTimeout{std::chrono::seconds(20)};
    };
    Network() = default;
    explicit Network(Options options) : m_options(options) {}

    // Starts the socket layer; false when it cannot be started.
    bool Startup();
    bool IsStarted() const { return m_started; }

    // A connection aimed at `from` goes to `to` instead.
    void AddRoute(Endpoint from, Endpoint to);
    Endpoint Resolve(const Endpoint& target) const;

    // Called again and again while a socket of this network waits (at the start of a wait
    // that blocks, then at least every kWaitSlice), so a front end can repaint meanwhile. It
    // must not use the network itself.
    void SetWaitHook(std::function<void()> hook) { m_waitHook = std::move(hook); }
    bool HasWaitHook() const { return static_cast<bool>(m_waitHook); }
    void Waiting() const {
        if (m_waitHook) {
            m_waitHook();
        }
    }
    static constexpr std::chrono::milliseconds kWaitSlice{50};

    // Zero or less: no limit.
    std::chrono::milliseconds IoTimeout() const { return m_options.ioTimeout; }
    std::chrono::milliseconds ConnectTimeout() const { return m_options.connectTimeout; }
    std::chrono::milliseconds GreetingTimeout() const { return m_options.greetingTimeout; }
    std::chrono::milliseconds WebTimeout() const { return m_options.webTimeout; }

  private:
    Options m_options;
    bool m_started = false;
    std::vector<std::pair<Endpoint, Endpoint>> m_routes;
    std::function<void()> m_waitHook;
};

}  // namespace platform::net
