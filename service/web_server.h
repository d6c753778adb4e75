#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "account.h"

namespace stowbox::service {

// The service's web side: the download-limits and share servlets and the share links.
class WebServer {
  public:
    WebServer(const AccountBook& accounts, std::filesystem::path outbox);
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;
    ~WebServer();

    // Listens and starts serving. Throws std::runtime_error.
    void start(const std::string& address, std::uint16_t port);
    std::uint16_t port() const { return port_; }
    void stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::uint16_t port_ = 0;
};

}  // namespace stowbox::service
