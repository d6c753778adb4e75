#pragma once
// Blocking IPv4 stream sockets, protected with TLS once asked to.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/net/tls.h"

namespace platform::net {

class Network;
class TlsContext;
class TlsStream;

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
    Socket();
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
    // the network's I/O time-out. A connection the peer resets as it comes about counts as
    // made; every send and receive on it then fails.
    bool Connect(const std::string& host, std::uint16_t port);
    // As Connect, but also gives up once `deadline` has passed.
    bool Connect(const std::string& host, std::uint16_t port,
                 std::chrono::steady_clock::time_point deadline);
    // Bytes sent (may be fewer than asked), or -1 on error.
    int Send(const void* data, std::size_t count);
    // As Send, but gives up once `deadline` has passed, however slowly the peer takes bytes.
    int Send(const void* data, std::size_t count, std::chrono::steady_clock::time_point deadline);
    // Bytes received, 0 when the peer closed, -1 on error or time-out. Once protected, 0 only
    // for the peer's close_notify: a stream cut without it is an error, since what came may
    // lack its end.
    int Receive(void* buffer, std::size_t count);
    // As Receive, but gives up (-1) once `deadline` has passed, however the bytes trickle in.
    int Receive(void* buffer, std::size_t count, std::chrono::steady_clock::time_point deadline);
    // A protected socket first sends close_notify (waiting up to the I/O time-out for room),
    // so the peer sees a finished stream.
    void Close();
    // Closes with a reset, so the peer sees a broken connection rather than a finished one.
    void Abort();
    bool IsOpen() const { return m_fd >= 0; }
    // The dotted address of the connected peer, after routing.
    std::optional<std::string> PeerAddress() const;
    // The name or address connected to, after routing, as it was given.
    const std::string& ConnectedHost() const { return m_connectedHost; }

    // Protects the connected socket with TLS (explicit TLS: the peer and this side first
    // agreed on it in clear). The server's certificate must chain to the system's authorities
    // or the network's CA file and name `request.host` or else the host connected to. Gives up at
    // `deadline` or after the I/O time-out. Afterwards Send and Receive go through TLS. On
    // failure the socket is closed, so nothing can go out in clear, and LastTlsFailure() says
    // why.
    bool StartTls(const TlsRequest& request, std::chrono::steady_clock::time_point deadline);
    bool IsProtected() const { return m_tls != nullptr; }
    // The session for another connection to the same server to resume (empty when there is
    // none). With TLS 1.3 the server sends it just after the handshake; records that have
    // arrived are read for it (no bytes are taken), so it is there by the time a data
    // connection opens, after at least one reply.
    TlsSession SessionToResume();
    // Whether the handshake resumed the offered session.
    bool Resumed() const;
    // Why StartTls failed, or why the protected stream broke; empty reason when neither.
    const TlsFailure& LastTlsFailure() const;

  private:
    bool ConnectUntil(const std::string& host, std::uint16_t port,
                      const std::optional<std::chrono::steady_clock::time_point>& deadline);
    // Connects to `target`, the routes already applied.
    bool ConnectRouted(const Endpoint& target,
                       const std::optional<std::chrono::steady_clock::time_point>& deadline);
    // Without `deadline`, each wait for the peer gets the network's I/O time-out afresh.
    int SendUntil(const void* data, std::size_t count,
                  const std::optional<std::chrono::steady_clock::time_point>& deadline);
    int ReceiveUntil(void* buffer, std::size_t count,
                     const std::optional<std::chrono::steady_clock::time_point>& deadline);

    // After a protected stream's close_notify: our end of stream, then what the peer still
    // sends is dropped until its end, within kDrainLimit.
    void DrainBeforeClose();
    static constexpr std::chrono::milliseconds kDrainLimit{1000};

    // Ends the protection without close_notify, telling the network if it counted it.
    void DropTls();

    int m_fd = -1;
    const Network* m_network = nullptr;
    std::string m_connectedHost;  // the name or address connected to, after the routes
    std::unique_ptr<TlsStream> m_tls;
    bool m_partOfSession = false;  // whether the network counts this protected socket
    TlsFailure m_tlsFailure;
    bool m_resetByPeer = false;  // reset as it came about: every send and receive fails
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
        // Whether the FTP session protects its connections.
        TlsMode tls = TlsMode::Try;
        // Authorities trusted besides the system's, in one PEM file; empty: none.
        std::filesystem::path caFile{};
    };
    Network() = default;
    explicit Network(Options options) : m_options(std::move(options)) {}

    // Starts the socket layer; false when it cannot be started.
    bool Startup();
    bool IsStarted() const { return m_started; }

    // A connection aimed at `from` goes to `to` instead; with `protect`, the one who set the
    // route asked for it to be protected (an https:// address), and its users must be.
    void AddRoute(Endpoint from, Endpoint to, bool protect = false);
    Endpoint Resolve(const Endpoint& target) const;
    bool ProtectsRoute(const Endpoint& target) const;

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

    // Called when a socket of this network could not connect: `asked` is the endpoint its
    // caller named, `tried` the one the routes led to. Lets a launcher say where that address
    // is set; it must not use the network itself.
    using ConnectFailureHook = std::function<void(const Endpoint& asked, const Endpoint& tried)>;
    void SetConnectFailureHook(ConnectFailureHook hook) { m_connectFailureHook = std::move(hook); }
    void ConnectFailed(const Endpoint& asked, const Endpoint& tried) const {
        if (m_connectFailureHook) {
            m_connectFailureHook(asked, tried);
        }
    }

    // Called with true when a first protected connection of this network opens, with false
    // when the last one ends, so that a front end can show whether the session is protected.
    void SetProtectionHook(std::function<void(bool)> hook) { m_protectionHook = std::move(hook); }
    bool HasProtectedConnection() const { return m_protectedSockets > 0; }
    // Sockets of this network tell when their protection begins and ends.
    void ProtectionBegan() const;
    void ProtectionEnded() const;

    // Zero or less: no limit.
    std::chrono::milliseconds IoTimeout() const { return m_options.ioTimeout; }
    std::chrono::milliseconds ConnectTimeout() const { return m_options.connectTimeout; }
    std::chrono::milliseconds GreetingTimeout() const { return m_options.greetingTimeout; }
    std::chrono::milliseconds WebTimeout() const { return m_options.webTimeout; }
    TlsMode Tls() const { return m_options.tls; }
    const std::filesystem::path& CaFile() const { return m_options.caFile; }
    // What protected sockets share; null until the network is started.
    const TlsContext* TlsClient() const { return m_tlsClient.get(); }

  private:
    Options m_options;
    bool m_started = false;
    std::shared_ptr<const TlsContext> m_tlsClient;
    struct Route {
        Endpoint from;
        Endpoint to;
        bool protect;
    };
    std::vector<Route> m_routes;
    std::function<void()> m_waitHook;
    std::function<void(bool)> m_protectionHook;
    ConnectFailureHook m_connectFailureHook;
    // Counted through the sockets' const reference to their network, as the wait hook is.
    mutable int m_protectedSockets = 0;
};

}  // namespace platform::net
