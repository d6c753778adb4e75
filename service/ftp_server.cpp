#include "ftp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <exception>
#include <iostream>

#include "ftp_session.h"
#include "net_io.h"

namespace stowbox::service {

FtpServer::FtpServer(const AccountBook& accounts, const ServiceConfig& config)
    : accounts_(accounts), config_(config) {}

FtpServer::~FtpServer() {
    stop();
}

void FtpServer::start(in_addr address, std::uint16_t port) {
    listener_ = listen_tcp(address, port, 128);
    port_ = ntohs(local_endpoint(listener_.get()).sin_port);
    acceptor_ = std::thread([this] { accept_loop(); });
}

void FtpServer::stop() {
    stop_.raise();
    if (acceptor_.joinable()) {
        acceptor_.join();
    }
    for (auto& session : sessions_) {
        session->thread.join();
    }
    sessions_.clear();
    listener_.reset();
}

void FtpServer::accept_loop() {
    for (;;) {
        // The periodic wake-up only serves to join finished session threads.
        const auto ready =
            wait_for(listener_.get(), POLLIN, stop_.fd(), std::chrono::milliseconds(1000));
        if (ready == WaitResult::stopped) {
            return;
        }
        reap_finished();
        if (ready != WaitResult::ready) {
            continue;
        }
        UniqueFd connection(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (connection) {
            admit(std::move(connection));
        }
    }
}

void FtpServer::admit(UniqueFd connection) {
    if (sessions_.size() >= config_.max_sessions ||
        pending_logins() >= config_.max_pending_logins) {
        constexpr std::string_view busy = "421 Too many connections, try again later\r\n";
        [[maybe_unused]] auto sent =
            ::send(connection.get(), busy.data(), busy.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        return;
    }
    // A reply goes out at once: held back until the client acknowledged the one before (a
    // 150 followed by a 226), it would wait for the client's delayed acknowledgement.
    const int on = 1;
    ::setsockopt(connection.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    auto session = std::make_unique<Session>();
    Session* slot = session.get();
    try {
        slot->thread = std::thread([this, slot, fd = std::move(connection)]() mutable {
            try {
                FtpSession(std::move(fd), accounts_, config_, stop_.fd(), [slot] {
                    slot->logged_in = true;
                }).run();
            } catch (const std::exception& error) {
                // A session's failure must never take the server down.
                std::cerr << "stowbox-service: FTP session ended: " << error.what() << '\n';
            }
            slot->finished = true;
        });
    } catch (const std::system_error& error) {
        std::cerr << "stowbox-service: cannot start a session: " << error.what() << '\n';
        return;
    }
    sessions_.push_back(std::move(session));
}

std::size_t FtpServer::pending_logins() const {
    return std::size_t(std::count_if(sessions_.begin(), sessions_.end(), [](const auto& session) {
        return !session->logged_in && !session->finished;
    }));
}

void FtpServer::reap_finished() {
    for (auto it = sessions_.begin(); it != sessions_.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            it = sessions_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace stowbox::service
