#pragma once

#include <cstdint>
#include <memory>

#include "account.h"
#include "ftp_server.h"
#include "service_config.h"
#include "tls_context.h"
#include "web_server.h"

namespace stowbox::service {

// The whole stand-in service: accounts, FTP server and web servlets. The executable runs
// one; tests run one in-process.
class Service {
  public:
    // Creates the account folders and the outbox, and loads the TLS certificate when one is
    // given. Throws std::exception.
    explicit Service(ServiceConfig config);
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;
    ~Service();

    // Listens on both ports. Throws std::exception.
    void start();
    void stop();

    const ServiceConfig& config() const { return config_; }
    std::uint16_t ftp_port() const { return ftp_.port(); }
    std::uint16_t web_port() const { return web_.port(); }

  private:
    ServiceConfig config_;
    // Loaded before the accounts make their folders: a bad certificate changes nothing.
    std::unique_ptr<const TlsContext> tls_;  // none without a certificate
    AccountBook accounts_;
    FtpServer ftp_;
    WebServer web_;
};

}  // namespace stowbox::service
