#include "support/latency_relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <list>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "support/fd.h"

namespace testing_support {
namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

void NoDelay(int fd) {
    // The relay adds the delay; the kernel must not add its own by holding small writes.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

ssize_t ReceiveSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t count = ::recv(fd, buffer, size, 0);
        if (count >= 0 || errno != EINTR) {
            return count;
        }
    }
}

// One relayed connection: the client's bytes go up at once, the target's come down late.
class Connection {
  public:
    Connection(Fd client, Fd target, std::chrono::milliseconds delay,
               std::atomic<std::uint64_t>& heldChunks)
        : m_client(std::move(client)),
          m_target(std::move(target)),
          m_delay(delay),
          m_heldChunks(heldChunks) {
        m_up = std::thread([this] { Up(); });
        m_downReader = std::thread([this] { DownReader(); });
        m_downWriter = std::thread([this] { DownWriter(); });
    }
    ~Connection() {
        ::shutdown(m_client.Get(), SHUT_RDWR);
        ::shutdown(m_target.Get(), SHUT_RDWR);
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        m_up.join();
        m_downReader.join();
        m_downWriter.join();
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

  private:
    struct Chunk {
        Clock::time_point due;
        std::string bytes;  // empty: the target ended its side
    };

    void Up() {
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t count = ReceiveSome(m_client.Get(), buffer, sizeof buffer);
            if (count <= 0 || !SendAll(m_target.Get(), buffer, static_cast<std::size_t>(count))) {
                break;
            }
        }
        ::shutdown(m_target.Get(), SHUT_WR);
    }

    void DownReader() {
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t count = ReceiveSome(m_target.Get(), buffer, sizeof buffer);
            Chunk chunk{Clock::now() + m_delay,
                        count > 0 ? std::string(buffer, static_cast<std::size_t>(count)) : ""};
            {
                std::lock_guard lock(m_mutex);
                m_queue.push_back(std::move(chunk));
            }
            m_changed.notify_all();
            if (count <= 0) {
                return;
            }
            ++m_heldChunks;
        }
    }

    void DownWriter() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping) {
                return;
            }
            const Clock::time_point due = m_queue.front().due;
            if (m_changed.wait_until(lock, due, [this] { return m_stopping; })) {
                return;
            }
            Chunk chunk = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            const bool ended = chunk.bytes.empty() ||
                               !SendAll(m_client.Get(), chunk.bytes.data(), chunk.bytes.size());
            if (ended) {
                ::shutdown(m_client.Get(), SHUT_WR);
                return;
            }
            lock.lock();
        }
    }

    Fd m_client;
    Fd m_target;
    std::chrono::milliseconds m_delay;
    std::atomic<std::uint64_t>& m_heldChunks;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Chunk> m_queue;
    bool m_stopping = false;
    std::thread m_up;
    std::thread m_downReader;
    std::thread m_downWriter;
};

}  // namespace

class LatencyRelay::Impl {
  public:
    Impl(std::uint16_t targetPort, std::chrono::milliseconds delay)
        : m_targetPort(targetPort),
          m_delay(delay),
          m_listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)),
          m_wake(::eventfd(0, EFD_CLOEXEC)) {
        sockaddr_in address = Loopback(0);
        socklen_t length = sizeof address;
        const int on = 1;
        if (!m_listener.Valid() || !m_wake.Valid() ||
            ::setsockopt(m_listener.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
            ::bind(m_listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener.Get(), 16) != 0 ||
            ::getsockname(m_listener.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error(std::string("latency relay cannot listen: ") +
                                     std::strerror(errno));
        }
        m_port = ntohs(address.sin_port);
        m_acceptor = std::thread([this] { AcceptLoop(); });
    }
    ~Impl() {
        const std::uint64_t one = 1;
        if (::write(m_wake.Get(), &one, sizeof one) != sizeof one) {
            ::shutdown(m_listener.Get(), SHUT_RDWR);
        }
        m_acceptor.join();
        m_connections.clear();
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    std::uint16_t Port() const { return m_port; }
    std::uint64_t HeldChunks() const { return m_heldChunks; }

  private:
    void AcceptLoop() {
        for (;;) {
            pollfd fds[2] = {{m_listener.Get(), POLLIN, 0}, {m_wake.Get(), POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (fds[1].revents != 0 || fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                return;
            }
            Fd client(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (!client.Valid()) {
                continue;
            }
            Fd target(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
            const sockaddr_in address = Loopback(m_targetPort);
            if (!target.Valid() ||
                ::connect(target.Get(), reinterpret_cast<const sockaddr*>(&address),
                          sizeof address) != 0) {
                // The client sees its connection end, as with a server that is not there.
                continue;
            }
            NoDelay(client.Get());
            NoDelay(target.Get());
            m_connections.emplace_back(std::move(client), std::move(target), m_delay, m_heldChunks);
        }
    }

    std::uint16_t m_targetPort;
    std::chrono::milliseconds m_delay;
    Fd m_listener;
    Fd m_wake;
    std::uint16_t m_port = 0;
    std::atomic<std::uint64_t> m_heldChunks{0};
    std::list<Connection> m_connections;  // touched by the acceptor until it is joined
    std::thread m_acceptor;
};

LatencyRelay::LatencyRelay(std::uint16_t targetPort, std::chrono::milliseconds delay)
    : m_impl(std::make_unique<Impl>(targetPort, delay)) {}

LatencyRelay::~LatencyRelay() = default;

std::uint16_t LatencyRelay::Port() const {
    return m_impl->Port();
}

std::uint64_t LatencyRelay::HeldChunks() const {
    return m_impl->HeldChunks();
}

}  // namespace testing_support
