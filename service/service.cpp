#include "service.h"

#include <stdexcept>

#include "net_io.h"
#include "private_files.h"
#include "stale_uploads.h"

namespace stowbox::service {

namespace {

std::unique_ptr<const TlsContext> load_tls(const ServiceConfig& config) {
    if (config.tls_certificate.empty() && config.tls_key.empty()) {
        if (config.require_tls) {
            throw std::invalid_argument("TLS cannot be required without a certificate");
        }
        return nullptr;
    }
    return std::make_unique<const TlsContext>(config.tls_certificate, config.tls_key);
}

}  // namespace

Service::Service(ServiceConfig config)
    : config_(std::move(config)),
      tls_(load_tls(config_)),
      accounts_(config_.root, config_.accounts, config_.accounts_file),
      ftp_(accounts_, config_, tls_.get()),
      web_(accounts_, config_, tls_.get()) {
    make_private_folders(config_.root / "outbox");
    // No session runs yet, so every partial upload is left from a run that was stopped.
    remove_stale_uploads(config_.root / "accounts");
}

Service::~Service() {
    stop();
}

void Service::start() {
    const auto address = parse_ipv4(config_.listen);
    if (!address) {
        throw std::invalid_argument("not an IPv4 address: " + config_.listen);
    }
    ftp_.start(*address, config_.ftp_port);
    web_.start(config_.listen, config_.web_port);
}

void Service::stop() {
    web_.stop();
    ftp_.stop();
}

}  // namespace stowbox::service
