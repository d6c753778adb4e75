#include "platform/net/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/net/tls_stream.h"
#include "platform/net/wait_ready.h"

namespace platform::net {
namespace {

using Clock = std::chrono::steady_clock;

struct AddrInfoDeleter {
    void operator()(addrinfo* info) const { ::freeaddrinfo(info); }
};
using AddrInfoList = std::unique_ptr<addrinfo, AddrInfoDeleter>;

AddrInfoList LookUp(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0) {
        return nullptr;
    }
    return AddrInfoList(list);
}

int NewSocket() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // Commands sent ahead of their answers go out at once; the kernel holding a small send
    // until the previous one is acknowledged would cost the round trip they save.
    // Everything larger is already sent in large pieces.
    const int on = 1;
    if (fd >= 0) {
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd;
}

bool SetBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) {
        return false;
    }
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return ::fcntl(fd, F_SETFL, wanted) == 0;
}

// One send or receive that never blocks in the call itself: it waits for readiness through
// WaitReady, until the deadline.
template <class Call>
int WithoutBlocking(int fd, short events, const std::optional<Clock::time_point>& deadline,
                    const Network& network, Call call) {
    for (;;) {
        const ssize_t n = call();
        if (n >= 0) {
            return static_cast<int>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if ((errno != EAGAIN && errno != EWOULDBLOCK) ||
            !WaitReady(fd, events, deadline, network)) {
            return -1;
        }
    }
}

std::optional<Clock::time_point> DeadlineAfter(std::chrono::milliseconds limit) {
    if (limit.count() <= 0) {
        return std::nullopt;  // no limit
    }
    return Clock::now() + limit;
}

enum class ConnectEnd { Connected, ResetByPeer, Failed };

// connect() bounded by the deadline, so an address that never answers cannot hold us.
ConnectEnd ConnectWithin(int fd, const sockaddr_in& address,
                         const std::optional<Clock::time_point>& deadline, const Network& network) {
    if (!SetBlocking(fd, false)) {
        return ConnectEnd::Failed;
    }
    const auto* raw = reinterpret_cast<const sockaddr*>(&address);
    if (::connect(fd, raw, sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EINTR) {
            return ConnectEnd::Failed;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (!WaitReady(fd, POLLOUT, deadline, network) ||
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            return ConnectEnd::Failed;
        }
        // A peer that accepted and reset before we looked: the connection was there.
        if (error == ECONNRESET || error == EPIPE) {
            return ConnectEnd::ResetByPeer;
        }
        if (error != 0) {
            return ConnectEnd::Failed;
        }
    }
    return SetBlocking(fd, true) ? ConnectEnd::Connected : ConnectEnd::Failed;
}

int ClampCount(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, INT_MAX));
}

}  // namespace

Socket::Socket() = default;

Socket::~Socket() {
    Close();
}

Socket::Socket(Socket&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_network(std::exchange(other.m_network, nullptr)),
      m_connectedHost(std::move(other.m_connectedHost)),
      m_tls(std::move(other.m_tls)),
      m_partOfSession(std::exchange(other.m_partOfSession, false)),
      m_tlsFailure(std::move(other.m_tlsFailure)),
      m_resetByPeer(std::exchange(other.m_resetByPeer, false)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_network = std::exchange(other.m_network, nullptr);
        m_connectedHost = std::move(other.m_connectedHost);
        m_tls = std::move(other.m_tls);
        m_partOfSession = std::exchange(other.m_partOfSession, false);
        m_tlsFailure = std::move(other.m_tlsFailure);
        m_resetByPeer = std::exchange(other.m_resetByPeer, false);
    }
    return *this;
}

bool Socket::Create(const Network& network) {
    Close();
    m_tlsFailure = {};
    if (!network.IsStarted()) {
        return false;
    }
    m_fd = NewSocket();
    m_network = m_fd >= 0 ? &network : nullptr;
    return IsOpen();
}

bool Socket::Connect(const std::string& host, std::uint16_t port) {
    return ConnectUntil(host, port, std::nullopt);
}

bool Socket::Connect(const std::string& host, std::uint16_t port, Clock::time_point deadline) {
    return ConnectUntil(host, port, deadline);
}

bool Socket::ConnectUntil(const std::string& host, std::uint16_t port,
                          const std::optional<Clock::time_point>& deadline) {
    if (!IsOpen() || m_network == nullptr) {
        return false;
    }
    const Endpoint asked{host, port};
    const Endpoint target = m_network->Resolve(asked);
    if (ConnectRouted(target, deadline)) {
        m_connectedHost = target.host;
        return true;
    }
    m_network->ConnectFailed(asked, target);
    return false;
}

bool Socket::ConnectRouted(const Endpoint& target,
                           const std::optional<Clock::time_point>& deadline) {
    const AddrInfoList addresses = LookUp(target.host);
    if (!addresses) {
        return false;
    }
    // The caller's deadline, or the connect time-out if that ends sooner.
    auto until = DeadlineAfter(m_network->ConnectTimeout());
    if (deadline && (!until || *deadline < *until)) {
        until = deadline;
    }
    for (const addrinfo* info = addresses.get(); info != nullptr; info = info->ai_next) {
        if (info->ai_family != AF_INET || info->ai_addrlen < sizeof(sockaddr_in)) {
            continue;
        }
        sockaddr_in address{};
        std::memcpy(&address, info->ai_addr, sizeof address);
        address.sin_port = htons(target.port);
        const ConnectEnd end = ConnectWithin(m_fd, address, until, *m_network);
        if (end != ConnectEnd::Failed) {
            // Reading the reset cleared it from the socket, which would now report an orderly
            // end: it is kept here, so that the connection counts as broken, never as ended.
            m_resetByPeer = end == ConnectEnd::ResetByPeer;
            return true;
        }
        // A socket whose connect failed cannot be used again: the next address gets a new one.
        ::close(std::exchange(m_fd, NewSocket()));
        if (m_fd < 0) {
            return false;
        }
    }
    return false;
}

int Socket::Send(const void* data, std::size_t count) {
    return SendUntil(data, count, std::nullopt);
}

int Socket::Send(const void* data, std::size_t count, Clock::time_point deadline) {
    return SendUntil(data, count, deadline);
}

int Socket::SendUntil(const void* data, std::size_t count,
                      const std::optional<Clock::time_point>& deadline) {
    if (!IsOpen() || m_resetByPeer) {
        return -1;
    }
    // As a blocking send: everything goes unless the peer stops taking bytes for the time-out.
    const auto* bytes = static_cast<const char*>(data);
    const auto size = static_cast<std::size_t>(ClampCount(count));
    std::size_t sent = 0;
    while (sent < size) {
        const auto until = deadline ? deadline : DeadlineAfter(m_network->IoTimeout());
        const int n =
            m_tls ? m_tls->Write(bytes + sent, static_cast<int>(size - sent), until)
                  : WithoutBlocking(m_fd, POLLOUT, until, *m_network, [&] {
                        return ::send(m_fd, bytes + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
                    });
        if (n <= 0) {
            return sent > 0 ? static_cast<int>(sent) : -1;
        }
        sent += static_cast<std::size_t>(n);
    }
    return static_cast<int>(sent);
}

int Socket::Receive(void* buffer, std::size_t count) {
    if (!IsOpen()) {
        return -1;
    }
    return ReceiveUntil(buffer, count, DeadlineAfter(m_network->IoTimeout()));
}

int Socket::Receive(void* buffer, std::size_t count, Clock::time_point deadline) {
    if (!IsOpen()) {
        return -1;
    }
    return ReceiveUntil(buffer, count, deadline);
}

int Socket::ReceiveUntil(void* buffer, std::size_t count,
                         const std::optional<std::chrono::steady_clock::time_point>& deadline) {
    if (m_resetByPeer) {
        return -1;
    }
    const auto size = static_cast<std::size_t>(ClampCount(count));
    if (m_tls) {
        return m_tls->Read(buffer, static_cast<int>(size), deadline);
    }
    return WithoutBlocking(m_fd, POLLIN, deadline, *m_network,
                           [&] { return ::recv(m_fd, buffer, size, MSG_DONTWAIT); });
}

void Socket::Close() {
    if (m_tls) {
        m_tls->Close(DeadlineAfter(m_network->IoTimeout()));
        m_tlsFailure = m_tls->Failure();
        DropTls();
        DrainBeforeClose();
    }
    if (m_fd >= 0) {
        ::close(std::exchange(m_fd, -1));
    }
    m_resetByPeer = false;
}

void Socket::DrainBeforeClose() {
    // Records that came and were never read (a TLS 1.3 server's session tickets) would make
    // the close a reset, and a peer that sees the reset before our close_notify takes the
    // stream for a cut one. So our end of stream goes out, and what still comes until the
    // peer's end is read and dropped, for a short while at most.
    if (m_fd < 0 || ::shutdown(m_fd, SHUT_WR) != 0) {
        return;
    }
    const auto until = Clock::now() + kDrainLimit;
    char sink[4096];
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        pollfd ready{m_fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            return;
        }
        if (::recv(m_fd, sink, sizeof sink, MSG_DONTWAIT) <= 0) {
            return;  // the peer's end, or it broke: nothing more to drop
        }
    }
}

void Socket::Abort() {
    DropTls();  // no close_notify: the peer is to see a cut stream
    if (m_fd >= 0) {
        const linger reset{1, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        Close();
    }
}

std::optional<std::string> Socket::PeerAddress() const {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    if (!IsOpen() || ::getpeername(m_fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 ||
        peer.sin_family != AF_INET) {
        return std::nullopt;
    }
    char dotted[INET_ADDRSTRLEN] = {};
    if (::inet_ntop(AF_INET, &peer.sin_addr, dotted, sizeof dotted) == nullptr) {
        return std::nullopt;
    }
    return std::string(dotted);
}

void Socket::DropTls() {
    if (m_tls) {
        m_tls.reset();
        if (std::exchange(m_partOfSession, false)) {
            m_network->ProtectionEnded();
        }
    }
}

bool Socket::StartTls(const TlsRequest& request, Clock::time_point deadline) {
    m_tlsFailure = {};
    if (!IsOpen() || m_network == nullptr || m_network->TlsClient() == nullptr || m_tls) {
        m_tlsFailure.reason = "the connection cannot be protected";
        return false;
    }
    auto until = DeadlineAfter(m_network->IoTimeout());
    if (!until || deadline < *until) {
        until = deadline;
    }
    auto stream = std::make_unique<TlsStream>(m_fd, *m_network);
    if (!stream->Handshake(*m_network->TlsClient(),
                           request.host.empty() ? m_connectedHost : request.host, request.resume,
                           until)) {
        m_tlsFailure = stream->Failure();
        Close();
        return false;
    }
    m_tls = std::move(stream);
    m_partOfSession = request.partOfSession;
    if (m_partOfSession) {
        m_network->ProtectionBegan();
    }
    return true;
}

TlsSession Socket::SessionToResume() {
    return m_tls ? m_tls->Session() : TlsSession();
}

bool Socket::Resumed() const {
    return m_tls && m_tls->Resumed();
}

const TlsFailure& Socket::LastTlsFailure() const {
    return m_tls ? m_tls->Failure() : m_tlsFailure;
}

}  // namespace platform::net
