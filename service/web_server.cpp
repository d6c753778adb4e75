#include "web_server.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "plain_reply.h"
#include "servlets.h"
#include "share_store.h"

namespace stowbox::service {

struct WebServer::Impl {
    Impl(const AccountBook& accounts, std::filesystem::path outbox)
        : context{accounts, shares, std::move(outbox)} {}

    ShareStore shares;
    ServletContext context;
    httplib::Server server;
    std::thread thread;
};

WebServer::WebServer(const AccountBook& accounts, std::filesystem::path outbox)
    : impl_(std::make_unique<Impl>(accounts, std::move(outbox))) {
    auto& server = impl_->server;
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
    auto& server = impl_->server;
    const int bound = port == 0 ? server.bind_to_any_port(address)
                                : (server.bind_to_port(address, port) ? int(port) : -1);
    if (bound <= 0) {
        throw std::runtime_error("cannot listen for web requests on " + address + ":" +
                                 std::to_string(port));
    }
    port_ = std::uint16_t(bound);
    impl_->thread = std::thread([&server] { server.listen_after_bind(); });
    // stop() is lost on a server whose loop has not begun yet, so wait for the loop. The
    // socket already listens, so no request is refused meanwhile.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server.is_running()) {
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("the web server did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void WebServer::stop() {
    if (impl_->thread.joinable()) {
        impl_->server.stop();
        impl_->thread.join();
    }
}

}  // namespace stowbox::service
