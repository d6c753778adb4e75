#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "account.h"
#include "service_config.h"
#include "tls_context.h"

namespace stowbox::service {

// The service's web side: the download-limits and share servlets and the share links. The
// HTTP library parses and routes; connections are accepted and bounded here.
class WebServer {
  public:
    // With `tls` (which must outlive the server) the port speaks HTTPS only.
    WebServer(const AccountBook& accounts, const ServiceConfig& config, const TlsContext* tls);
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;
    ~WebServer();

    // Listens and starts serving. Throws std::exception.
    void start(const std::string& address, std::uint16_t port);
    std::uint16_t port() const { return port_; }
    void stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::uint16_t port_ = 0;
};

}  // namespace stowbox::service
