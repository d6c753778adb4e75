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
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "support/fd.h"

namespace testing_support {
namespace {

using Clock = std::chrono::steady_clock;
// Turns one whole reply line (with its line end) into what the client is to see.
using LineRewrite = std::function<std::string(const std::string& line)>;

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

Fd ConnectTo(std::uint16_t port) {
    Fd target(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in address = Loopback(port);
    if (!target.Valid() ||
        ::connect(target.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return Fd();
    }
    NoDelay(target.Get());
    return target;
}

// A listening socket on a free loopback port, or throws.
Fd Listen(std::uint16_t& port) {
    Fd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    const int on = 1;
    if (!listener.Valid() ||
        ::setsockopt(listener.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.Get(), 16) != 0 ||
        ::getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error(std::string("latency relay cannot listen: ") +
                                 std::strerror(errno));
    }
    port = ntohs(address.sin_port);
    return listener;
}

// The data port a passive-mode reply names: "227 ... (h1,h2,h3,h4,p1,p2)" or
// "229 ... (|||port|)".
std::optional<std::uint16_t> PassivePort(const std::string& line) {
    const auto open = line.find('(');
    if (open == std::string::npos) {
        return std::nullopt;
    }
    int n[6] = {};
    int port = 0;
    if (line.rfind("227 ", 0) == 0 && std::sscanf(line.c_str() + open + 1, "%d,%d,%d,%d,%d,%d",
                                                  &n[0], &n[1], &n[2], &n[3], &n[4], &n[5]) == 6) {
        port = n[4] * 256 + n[5];
    } else if (line.rfind("229 ", 0) != 0 ||
               std::sscanf(line.c_str() + open + 1, "|||%d|", &port) != 1) {
        return std::nullopt;
    }
    return port > 0 && port < 65536 ? std::optional(static_cast<std::uint16_t>(port))
                                    : std::nullopt;
}

std::string PassiveReply(const std::string& line, std::uint16_t port) {
    const std::string tail = line.substr(line.find(')') + 1);
    if (line.rfind("227 ", 0) == 0) {
        return "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," +
               std::to_string(port % 256) + ")" + tail;
    }
    return "229 Entering Extended Passive Mode (|||" + std::to_string(port) + "|)" + tail;
}

// One direction of a relayed connection: what `from` sends reaches `to` after the delay.
class Pipe {
  public:
    Pipe(int from, int to, std::chrono::milliseconds delay, std::atomic<std::uint64_t>* held,
         LineRewrite rewrite)
        : m_from(from), m_to(to), m_delay(delay), m_held(held), m_rewrite(std::move(rewrite)) {
        m_reader = std::thread([this] { Read(); });
        m_writer = std::thread([this] { Write(); });
    }
    ~Pipe() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        m_reader.join();
        m_writer.join();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

  private:
    struct Chunk {
        Clock::time_point due;
        std::string bytes;  // empty: the sender ended its side
    };

    // Whole lines rewritten; a line's end may still be on its way.
    std::string Rewritten(std::string bytes, bool last) {
        if (!m_rewrite) {
            return bytes;
        }
        m_partial += bytes;
        const auto lastEnd = m_partial.rfind('\n');
        const std::size_t end = last                           ? m_partial.size()
                                : lastEnd == std::string::npos ? 0
                                                               : lastEnd + 1;
        std::string out;
        for (std::size_t start = 0; start < end;) {
            const auto lineEnd = m_partial.find('\n', start);
            const std::size_t next =
                lineEnd == std::string::npos || lineEnd >= end ? end : lineEnd + 1;
            out += m_rewrite(m_partial.substr(start, next - start));
            start = next;
        }
        m_partial.erase(0, end);
        return out;
    }

    void Queue(Chunk chunk) {
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(chunk));
        }
        m_changed.notify_all();
    }

    void Read() {
        std::string buffer(64 * 1024, '\0');
        for (;;) {
            const ssize_t count = ReceiveSome(m_from, buffer.data(), buffer.size());
            const auto due = Clock::now() + m_delay;
            if (count <= 0) {
                if (std::string rest = Rewritten("", true); !rest.empty()) {
                    Queue({due, std::move(rest)});
                }
                Queue({due, ""});
                return;
            }
            std::string bytes = Rewritten(buffer.substr(0, static_cast<std::size_t>(count)), false);
            if (!bytes.empty()) {
                Queue({due, std::move(bytes)});
                if (m_held != nullptr) {
                    ++*m_held;
                }
            }
        }
    }

    void Write() {
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
            if (chunk.bytes.empty() || !SendAll(m_to, chunk.bytes.data(), chunk.bytes.size())) {
                ::shutdown(m_to, SHUT_WR);
                return;
            }
            lock.lock();
        }
    }

    int m_from;
    int m_to;
    std::chrono::milliseconds m_delay;
    std::atomic<std::uint64_t>* m_held;
    LineRewrite m_rewrite;
    std::string m_partial;  // the reader's
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Chunk> m_queue;
    bool m_stopping = false;
    std::thread m_reader;
    std::thread m_writer;
};

// One relayed connection: both directions, each with its own delay.
class Connection {
  public:
    Connection(Fd client, Fd target, const LatencyRelay::Options& options,
               std::atomic<std::uint64_t>& heldChunks, LineRewrite rewrite)
        : m_client(std::move(client)),
          m_target(std::move(target)),
          m_up(m_client.Get(), m_target.Get(), options.toTarget, nullptr, {}),
          m_down(m_target.Get(), m_client.Get(), options.toClient, &heldChunks,
                 std::move(rewrite)) {}
    ~Connection() {
        ::shutdown(m_client.Get(), SHUT_RDWR);
        ::shutdown(m_target.Get(), SHUT_RDWR);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

  private:
    Fd m_client;
    Fd m_target;
    Pipe m_up;  // ends (joins) before the sockets close
    Pipe m_down;
};

}  // namespace

class LatencyRelay::Impl {
  public:
    Impl(std::uint16_t targetPort, const Options& options)
        : m_options(options), m_wake(::eventfd(0, EFD_CLOEXEC)) {
        if (!m_wake.Valid()) {
            throw std::runtime_error("latency relay cannot make its wake-up counter");
        }
        m_port = AddListener(targetPort, false);
    }
    ~Impl() {
        const std::uint64_t one = 1;
        // The counter stays readable, so every listener's poll sees it.
        [[maybe_unused]] const auto written = ::write(m_wake.Get(), &one, sizeof one);
        std::list<Listener> listeners;
        std::list<Connection> connections;
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
            listeners.swap(m_listeners);
        }
        listeners.clear();  // joins the accepting threads
        {
            std::lock_guard lock(m_mutex);
            connections.swap(m_connections);
        }
        connections.clear();
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    std::uint16_t Port() const { return m_port; }
    std::uint64_t HeldChunks() const { return m_heldChunks; }

  private:
    // A listening port of the relay that leads to one target port; a data listener takes
    // one connection.
    struct Listener {
        Fd socket;
        std::thread acceptor;
        ~Listener() {
            if (acceptor.joinable()) {
                acceptor.join();
            }
        }
    };

    // The relay's port for `targetPort`, 0 once the relay is stopping.
    std::uint16_t AddListener(std::uint16_t targetPort, bool once) {
        std::lock_guard lock(m_mutex);
        if (m_stopping) {
            return 0;
        }
        std::uint16_t port = 0;
        Listener& listener = m_listeners.emplace_back();
        listener.socket = Listen(port);
        const int fd = listener.socket.Get();
        listener.acceptor =
            std::thread([this, fd, targetPort, once] { AcceptLoop(fd, targetPort, once); });
        return port;
    }

    void AcceptLoop(int listener, std::uint16_t targetPort, bool once) {
        for (;;) {
            pollfd fds[2] = {{listener, POLLIN, 0}, {m_wake.Get(), POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (fds[1].revents != 0 || fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                return;
            }
            Fd client(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
            if (!client.Valid()) {
                continue;
            }
            // A target that is not there: the client sees its connection end.
            if (Fd target = ConnectTo(targetPort); target.Valid()) {
                NoDelay(client.Get());
                AddConnection(std::move(client), std::move(target), !once);
            }
            if (once) {
                return;
            }
        }
    }

    void AddConnection(Fd client, Fd target, bool control) {
        LineRewrite rewrite;
        if (control && m_options.relayPassiveData) {
            rewrite = [this](const std::string& line) { return RewritePassive(line); };
        }
        std::lock_guard lock(m_mutex);
        if (!m_stopping) {
            m_connections.emplace_back(std::move(client), std::move(target), m_options,
                                       m_heldChunks, std::move(rewrite));
        }
    }

    std::string RewritePassive(const std::string& line) {
        const auto dataPort = PassivePort(line);
        if (!dataPort) {
            return line;
        }
        const std::uint16_t port = AddListener(*dataPort, true);
        return port == 0 ? line : PassiveReply(line, port);
    }

    Options m_options;
    Fd m_wake;
    std::uint16_t m_port = 0;
    std::atomic<std::uint64_t> m_heldChunks{0};
    std::mutex m_mutex;
    bool m_stopping = false;
    std::list<Listener> m_listeners;
    std::list<Connection> m_connections;
};

LatencyRelay::LatencyRelay(std::uint16_t targetPort, std::chrono::milliseconds delay)
    : LatencyRelay(targetPort, Options{delay, std::chrono::milliseconds(0), false}) {}

LatencyRelay::LatencyRelay(std::uint16_t targetPort, const Options& options)
    : m_impl(std::make_unique<Impl>(targetPort, options)) {}

LatencyRelay::~LatencyRelay() = default;

std::uint16_t LatencyRelay::Port() const {
    return m_impl->Port();
}

std::uint64_t LatencyRelay::HeldChunks() const {
    return m_impl->HeldChunks();
}

}  // namespace testing_support
