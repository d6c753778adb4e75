#pragma once

#include <netinet/in.h>

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <thread>

#include "account.h"
#include "ftp_admission.h"
#include "service_config.h"
#include "stop_signal.h"
#include "tls_context.h"
#include "unique_fd.h"

namespace stowbox::service {

// Accepts FTP control connections and runs each session on a thread of its own, within the
// limits per address and per account that FtpAdmission keeps.
class FtpServer {
  public:
    // `tls`, when given, lets sessions turn on TLS; it must outlive the server.
    FtpServer(const AccountBook& accounts, const ServiceConfig& config, const TlsContext* tls);
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;
    ~FtpServer();

    // Listens and starts accepting. Throws std::system_error.
    void start(in_addr address, std::uint16_t port);
    std::uint16_t port() const { return port_; }
    // Ends every session and waits for their threads.
    void stop();

  private:
    struct Session {
        std::thread thread;
        std::atomic<bool> finished{false};
    };

    void accept_loop();
    void admit(UniqueFd connection, in_addr peer);
    // Runs on the session's thread: waits for the connection's turn, then serves it.
    void serve(UniqueFd connection, FtpAdmission::Place& place);
    void reap_finished();

    const AccountBook& accounts_;
    const ServiceConfig& config_;
    const TlsContext* tls_;
    StopSignal stop_;
    FtpAdmission admission_;
    UniqueFd listener_;
    std::uint16_t port_ = 0;
    std::thread acceptor_;
    // Only the acceptor thread touches this while it runs; stop() takes over after joining it.
    std::list<std::unique_ptr<Session>> sessions_;
};

}  // namespace stowbox::service
