#include "web_server.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <iostream>
#include <list>
#include <stdexcept>
#include <thread>

#include "http_connection.h"
#include "net_io.h"
#include "plain_reply.h"
#include "servlets.h"
#include "share_store.h"
#include "stop_signal.h"

namespace stowbox::service {

namespace {

// The library's own accept loop bounds each read but not a whole request, nor the size of
// its headers; this one hands it connections that do.
class RequestHandler : public httplib::Server {
  public:
    // The library writes response bodies only while it believes its listening socket open,
    // so that a shutdown cuts them short; tell it about ours.
    void set_listening(int fd) { svr_sock_ = fd; }
    void serve(httplib::Stream& connection) {
        bool closed = false;
        process_request(connection, true, closed, [](httplib::Request&) {});
    }
};

}  // namespace

struct WebServer::Impl {
    struct Connection {
        std::thread thread;
        std::atomic<bool> finished{false};
        in_addr_t peer = 0;
    };

    Impl(const AccountBook& accounts, const ServiceConfig& config, const TlsContext* tls)
        : config(config), tls(tls), context(accounts, config) {}

    void accept_loop();
    void admit(UniqueFd connection, in_addr_t peer);
    void reap_finished();
    void serve(UniqueFd fd);

    const ServiceConfig& config;
    const TlsContext* tls;
    ServletContext context;
    RequestHandler handler;
    StopSignal stop;
    UniqueFd listener;
    std::thread acceptor;
    // Only the acceptor thread touches this while it runs; stop() takes over after joining it.
    std::list<std::unique_ptr<Connection>> connections;
};

WebServer::WebServer(const AccountBook& accounts, const ServiceConfig& config,
                     const TlsContext* tls)
    : impl_(std::make_unique<Impl>(accounts, config, tls)) {
    auto& server = impl_->handler;
    // No request here carries a body worth more than this.
    server.set_payload_max_length(64 * 1024);
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            plain_reply(response, 500, "error: internal failure\n");
        });
    add_download_limits_servlet(server, impl_->context);
    add_share_servlet(server, impl_->context);
}

WebServer::~WebServer() {
    stop();
}

void WebServer::start(const std::string& address, std::uint16_t port) {
    const auto ip = parse_ipv4(address);
    if (!ip) {
        throw std::invalid_argument("not an IPv4 address: " + address);
    }
    impl_->listener = listen_tcp(*ip, port, 128);
    port_ = ntohs(local_endpoint(impl_->listener.get()).sin_port);
    impl_->handler.set_listening(impl_->listener.get());
    impl_->acceptor = std::thread([impl = impl_.get()] { impl->accept_loop(); });
}

void WebServer::stop() {
    impl_->stop.raise();
    impl_->handler.set_listening(-1);
    if (impl_->acceptor.joinable()) {
        impl_->acceptor.join();
    }
    for (auto& connection : impl_->connections) {
        connection->thread.join();
    }
    impl_->connections.clear();
    impl_->listener.reset();
}

void WebServer::Impl::accept_loop() {
    for (;;) {
        // The periodic wake-up only serves to join finished connection threads.
        const auto ready =
            wait_for(listener.get(), POLLIN, stop.fd(), std::chrono::milliseconds(1000));
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
            ::accept4(listener.get(), reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC));
        if (connection) {
            admit(std::move(connection), peer.sin_addr.s_addr);
        }
    }
}

void WebServer::Impl::admit(UniqueFd fd, in_addr_t peer) {
    // One address gets only its share, so that its idle or slow connections leave room for
    // everyone else's requests.
    const auto from_peer =
        std::count_if(connections.begin(), connections.end(),
                      [&](const auto& c) { return !c->finished && c->peer == peer; });
    if (connections.size() >= config.max_web_connections ||
        std::size_t(from_peer) >= config.max_web_connections_per_address) {
        constexpr std::string_view busy =
            "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        [[maybe_unused]] auto sent =
            ::send(fd.get(), busy.data(), busy.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        return;
    }
    auto connection = std::make_unique<Connection>();
    Connection* slot = connection.get();
    slot->peer = peer;
    try {
        slot->thread = std::thread([this, slot, fd = std::move(fd)]() mutable {
            try {
                serve(std::move(fd));
            } catch (const std::exception& error) {
                std::cerr << "stowbox-service: web request failed: " << error.what() << '\n';
            }
            slot->finished = true;
        });
    } catch (const std::system_error& error) {
        std::cerr << "stowbox-service: cannot serve a web request: " << error.what() << '\n';
        return;
    }
    connections.push_back(std::move(connection));
}

void WebServer::Impl::serve(UniqueFd fd) {
    HttpConnection stream(std::move(fd), stop.fd(), config.web_timeout, config.max_request_head);
    // Web sessions resume among themselves only, never on FTP's connections.
    if (tls != nullptr && !stream.secure(tls->new_connection("web"))) {
        return;
    }
    handler.serve(stream);
    stream.finish();
    ::shutdown(stream.socket(), SHUT_RDWR);
}

void WebServer::Impl::reap_finished() {
    for (auto it = connections.begin(); it != connections.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            it = connections.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace stowbox::service
