#include "ftp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <exception>
#include <iostream>
#include <string_view>

#include "ftp_session.h"
#include "net_io.h"

namespace stowbox::service {

namespace {

constexpr std::string_view kAddressBusy =
    "421 Too many connections from your address, try again later\r\n";

void refuse(int fd, std::string_view reply) {
    [[maybe_unused]] auto sent =
        ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

}  // namespace

FtpServer::FtpServer(const AccountBook& accounts, const ServiceConfig& config,
                     const TlsContext* tls)
    : accounts_(accounts), config_(config), tls_(tls), admission_(config) {}

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
    admission_.stop();
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
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        UniqueFd connection(
            ::accept4(listener_.get(), reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC));
        if (connection) {
            admit(std::move(connection), peer.sin_addr);
        }
    }
}

void FtpServer::admit(UniqueFd connection, in_addr peer) {
    auto admission = admission_.admit(connection.get(), peer);
    if (!admission.place) {
        refuse(connection.get(), admission.address_full ? kAddressBusy : kFtpBusyReply);
        return;
    }
    // A reply goes out at once: held back until the client acknowledged the one before (a
    // 150 followed by a 226), it would wait for the client's delayed acknowledgement.
    const int on = 1;
    ::setsockopt(connection.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    auto session = std::make_unique<Session>();
    Session* slot = session.get();
    try {
        slot->thread = std::thread([this, slot, fd = std::move(connection),
                                    place = std::move(*admission.place)]() mutable {
            try {
                serve(std::move(fd), place);
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

void FtpServer::serve(UniqueFd connection, FtpAdmission::Place& place) {
    switch (place.await_turn(std::chrono::steady_clock::now() + config_.login_timeout)) {
        case FtpAdmission::Turn::granted:
            break;
        case FtpAdmission::Turn::busy:
            refuse(connection.get(), kFtpBusyReply);
            return;
        case FtpAdmission::Turn::gone:
            return;
    }
    FtpSession(std::move(connection), accounts_, config_, tls_, stop_.fd(),
               [&place](const Account& account) { return place.log_in(account); })
        .run();
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
