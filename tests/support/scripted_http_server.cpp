#include "support/scripted_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "support/fd.h"

namespace testing_support {

namespace {

constexpr int kPollMs = 50;
constexpr auto kTrickleGap = std::chrono::milliseconds(50);
constexpr int kReadTimeoutMs = 15000;

bool Readable(int fd, int timeoutMs) {
    pollfd waiting{fd, POLLIN, 0};
    return ::poll(&waiting, 1, timeoutMs) > 0;
}

// The head through its empty line, then as many body bytes as Content-Length says.
std::string ReadRequest(int fd) {
    std::string request;
    std::size_t wanted = std::string::npos;
    char buffer[4096];
    while (request.size() < wanted && Readable(fd, kReadTimeoutMs)) {
        const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
        if (count <= 0) {
            break;
        }
        request.append(buffer, static_cast<std::size_t>(count));
        const std::size_t headEnd = request.find("\r\n\r\n");
        if (wanted == std::string::npos && headEnd != std::string::npos) {
            wanted = headEnd + 4;
            const std::size_t length = request.find("Content-Length: ");
            if (length != std::string::npos && length < headEnd) {
                wanted += std::strtoul(request.c_str() + length + 16, nullptr, 10);
            }
        }
    }
    return request;
}

}  // namespace

class ScriptedHttpServer::Runner {
  public:
    Runner(std::vector<std::string> answers, Manner manner)
        : m_answers(std::move(answers)), m_manner(manner) {
        m_listener.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (!m_listener.Valid() ||
            ::bind(m_listener.Get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(m_listener.Get(), 8) != 0 ||
            ::getsockname(m_listener.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("the scripted HTTP server cannot listen");
        }
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~Runner() {
        m_stop = true;
        m_thread.join();
    }

    std::uint16_t Port() const { return m_port; }
    std::vector<std::string> Requests() const {
        const std::lock_guard lock(m_mutex);
        return m_requests;
    }
    int Connections() const { return m_connections; }

  private:
    void Serve() {
        std::size_t next = 0;
        while (!m_stop) {
            if (!Readable(m_listener.Get(), kPollMs)) {
                continue;
            }
            Fd connection(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (!connection.Valid()) {
                continue;
            }
            ++m_connections;
            if (m_manner == Manner::Silent) {
                m_held.push_back(std::move(connection));
                continue;
            }
            const std::string request = ReadRequest(connection.Get());
            {
                const std::lock_guard lock(m_mutex);
                m_requests.push_back(request);
            }
            if (next < m_answers.size()) {
                const std::string& answer = m_answers[next];
                if (m_manner == Manner::Trickle) {
                    Trickle(connection.Get(), answer);
                } else {
                    std::size_t sent = 0;
                    while (sent < answer.size()) {
                        const ssize_t count = ::send(connection.Get(), answer.data() + sent,
                                                     answer.size() - sent, MSG_NOSIGNAL);
                        if (count <= 0) {
                            break;
                        }
                        sent += static_cast<std::size_t>(count);
                    }
                }
            }
            ++next;
            ::shutdown(connection.Get(), SHUT_WR);
            // Let the client read to the end before the socket goes.
            char drain[256];
            while (Readable(connection.Get(), kReadTimeoutMs) &&
                   ::recv(connection.Get(), drain, sizeof drain, 0) > 0) {
            }
        }
    }

    // One byte at a time until the answer ends, the client goes or the server stops.
    void Trickle(int fd, const std::string& answer) const {
        for (const char byte : answer) {
            if (m_stop || ::send(fd, &byte, 1, MSG_NOSIGNAL) != 1) {
                return;
            }
            std::this_thread::sleep_for(kTrickleGap);
        }
    }

    std::vector<std::string> m_answers;
    Manner m_manner;
    std::vector<Fd> m_held;  // closed when the server goes
    std::atomic<int> m_connections{0};
    Fd m_listener;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

ScriptedHttpServer::ScriptedHttpServer(std::vector<std::string> answers, Manner manner)
    : m_runner(std::make_unique<Runner>(std::move(answers), manner)) {}

ScriptedHttpServer::~ScriptedHttpServer() = default;

std::uint16_t ScriptedHttpServer::Port() const {
    return m_runner->Port();
}

std::vector<std::string> ScriptedHttpServer::Requests() const {
    return m_runner->Requests();
}

int ScriptedHttpServer::Connections() const {
    return m_runner->Connections();
}

}  // namespace testing_support
