#include "platform/net/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>

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
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

bool SetBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) {
        return false;
    }
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return ::fcntl(fd, F_SETFL, wanted) == 0;
}

// Milliseconds left until `deadline` for poll(); -1 (no limit) without a deadline.
int PollTimeout(const std::optional<Clock::time_point>& deadline) {
    if (!deadline) {
        return -1;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

// connect() bounded by the deadline, so an address that never answers cannot hold us.
bool ConnectWithin(int fd, const sockaddr_in& address,
                   const std::optional<Clock::time_point>& deadline) {
    if (!SetBlocking(fd, false)) {
        return false;
    }
    const auto* raw = reinterpret_cast<const sockaddr*>(&address);
    if (::connect(fd, raw, sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EINTR) {
            return false;
        }
        pollfd waiting{fd, POLLOUT, 0};
        int ready = 0;
        do {
            ready = ::poll(&waiting, 1, PollTimeout(deadline));
        } while (ready < 0 && errno == EINTR);
        int error = 0;
        socklen_t length = sizeof error;
        if (ready <= 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 ||
            error != 0) {
            return false;
        }
    }
    return SetBlocking(fd, true);
}

bool SetIoTimeout(int fd, std::chrono::milliseconds timeout) {
    if (timeout.count() <= 0) {
        return true;  // no limit
    }
    timeval value{};
    value.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    value.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
    return ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value) == 0 &&
           ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &value, sizeof value) == 0;
}

int ClampCount(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, INT_MAX));
}

}  // namespace

Socket::~Socket() {
    Close();
}

Socket::Socket(Socket&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_network(std::exchange(other.m_network, nullptr)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_network = std::exchange(other.m_network, nullptr);
    }
    return *this;
}

bool Socket::Create(const Network& network) {
    Close();
    if (!network.IsStarted()) {
        return false;
    }
    m_fd = NewSocket();
    m_network = m_fd >= 0 ? &network : nullptr;
    return IsOpen();
}

bool Socket::Connect(const std::string& host, std::uint16_t port) {
    if (!IsOpen() || m_network == nullptr) {
        return false;
    }
    const Endpoint target = m_network->Resolve({host, port});
    const AddrInfoList addresses = LookUp(target.host);
    if (!addresses) {
        return false;
    }
    std::optional<Clock::time_point> deadline;
    if (const auto limit = m_network->ConnectTimeout(); limit.count() > 0) {
        deadline = Clock::now() + limit;
    }
    for (const addrinfo* info = addresses.get(); info != nullptr; info = info->ai_next) {
        if (info->ai_family != AF_INET || info->ai_addrlen < sizeof(sockaddr_in)) {
            continue;
        }
        sockaddr_in address{};
        std::memcpy(&address, info->ai_addr, sizeof address);
        address.sin_port = htons(target.port);
        if (ConnectWithin(m_fd, address, deadline)) {
            return SetIoTimeout(m_fd, m_network->IoTimeout());
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
    if (!IsOpen()) {
        return -1;
    }
    for (;;) {
        const ssize_t n =
            ::send(m_fd, data, static_cast<std::size_t>(ClampCount(count)), MSG_NOSIGNAL);
        if (n >= 0 || errno != EINTR) {
            return n < 0 ? -1 : static_cast<int>(n);
        }
    }
}

int Socket::Receive(void* buffer, std::size_t count) {
    if (!IsOpen()) {
        return -1;
    }
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, static_cast<std::size_t>(ClampCount(count)), 0);
        if (n >= 0 || errno != EINTR) {
            return n < 0 ? -1 : static_cast<int>(n);
        }
    }
}

int Socket::Receive(void* buffer, std::size_t count, Clock::time_point deadline) {
    if (!IsOpen()) {
        return -1;
    }
    pollfd waiting{m_fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&waiting, 1, PollTimeout(deadline));
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return -1;  // the deadline passed
    }
    return Receive(buffer, count);
}

void Socket::Close() {
    if (m_fd >= 0) {
        ::close(std::exchange(m_fd, -1));
    }
}

void Socket::Abort() {
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

}  // namespace platform::net
