#include "net_io.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <system_error>
#include <thread>

namespace stowbox::service {

WaitResult wait_for(int fd, short events, int stop_fd, std::chrono::milliseconds timeout) {
    std::array<pollfd, 2> fds{pollfd{fd, events, 0}, pollfd{stop_fd, POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int n = ::poll(fds.data(), fds.size(), left.count() > 0 ? int(left.count()) : 0);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return WaitResult::failed;
        }
        if (fds[1].revents != 0) {
            return WaitResult::stopped;
        }
        if (n == 0) {
            return WaitResult::timed_out;
        }
        // Errors and hang-ups count as ready: the following call reports them.
        return WaitResult::ready;
    }
}

bool pause_until(int stop_fd, std::chrono::steady_clock::time_point until) {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return true;
        }
        pollfd stop{stop_fd, POLLIN, 0};
        const int n = ::poll(&stop, 1, int(left.count()));
        if (n > 0) {
            return false;
        }
        if (n < 0 && errno != EINTR) {
            // The pause must not be skipped, even when the stop cannot be watched.
            std::this_thread::sleep_until(until);
            return true;
        }
    }
}

std::optional<in_addr> parse_ipv4(const std::string& text) {
    in_addr address{};
    if (::inet_pton(AF_INET, text.c_str(), &address) != 1) {
        return std::nullopt;
    }
    return address;
}

std::string format_ipv4(in_addr address) {
    std::array<char, INET_ADDRSTRLEN> text{};
    ::inet_ntop(AF_INET, &address, text.data(), text.size());
    return text.data();
}

UniqueFd listen_tcp(in_addr address, std::uint16_t port, int backlog) {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd) {
        throw std::system_error(errno, std::generic_category(), "socket");
    }
    const int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_addr = address;
    endpoint.sin_port = htons(port);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) != 0) {
        throw std::system_error(errno, std::generic_category(),
                                "bind " + format_ipv4(address) + ":" + std::to_string(port));
    }
    if (::listen(fd.get(), backlog) != 0) {
        throw std::system_error(errno, std::generic_category(), "listen");
    }
    return fd;
}

sockaddr_in local_endpoint(int fd) {
    sockaddr_in endpoint{};
    socklen_t length = sizeof endpoint;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&endpoint), &length);
    return endpoint;
}

sockaddr_in peer_endpoint(int fd) {
    sockaddr_in endpoint{};
    socklen_t length = sizeof endpoint;
    ::getpeername(fd, reinterpret_cast<sockaddr*>(&endpoint), &length);
    return endpoint;
}

bool send_all(int fd, std::string_view data, int stop_fd, std::chrono::milliseconds timeout) {
    while (!data.empty()) {
        const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            data.remove_prefix(std::size_t(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return false;
        }
        if (wait_for(fd, POLLOUT, stop_fd, timeout) != WaitResult::ready) {
            return false;
        }
    }
    return true;
}

RecvResult recv_some(int fd, char* buffer, std::size_t size, int stop_fd,
                     std::chrono::milliseconds timeout) {
    bool timed_out = false;
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, size, MSG_DONTWAIT);
        if (got > 0) {
            return {RecvResult::Kind::data, std::size_t(got)};
        }
        if (got == 0) {
            return {RecvResult::Kind::closed};
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return {RecvResult::Kind::failed};
        }
        if (timed_out) {
            return {RecvResult::Kind::timed_out};
        }
        switch (wait_for(fd, POLLIN, stop_fd, timeout)) {
            case WaitResult::ready:
                break;
            case WaitResult::timed_out:
                // With a low-water mark (SO_RCVLOWAT) the wait may time out while fewer
                // bytes than the mark arrived: they are progress all the same.
                timed_out = true;
                break;
            case WaitResult::stopped:
                return {RecvResult::Kind::stopped};
            case WaitResult::failed:
                return {RecvResult::Kind::failed};
        }
    }
}

}  // namespace stowbox::service
