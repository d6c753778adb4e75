#pragma once
// A TLS server on loopback for the device's TLS tests, with a throw-away authority and a
// server certificate for "localhost" and 127.0.0.1 made on the spot.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>

#include "support/fd.h"
#include "support/temp_folder.h"

struct ssl_ctx_st;

namespace tls_testing {

// How each connection ends once the server answered "ping" with "pong". After its own
// close_notify the server waits for the client's.
enum class Ending { CloseNotify, Cut, Silent /* never even does the handshake */ };

struct ServerSetup {
    bool signedByTrustedAuthority = true;
    int newestVersion = 0;  // the library's TLS1_x_VERSION
    Ending ending = Ending::CloseNotify;
    const char* names = "DNS:localhost,IP:127.0.0.1";  // the certificate's subjectAltName
};

class TlsServer {
  public:
    explicit TlsServer(const ServerSetup& setup);
    ~TlsServer();
    TlsServer(const TlsServer&) = delete;
    TlsServer& operator=(const TlsServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    // The trusted authority's certificate, for the client's CA file.
    const std::filesystem::path& CaFile() const { return m_caFile; }
    // Wait (a few seconds at most) until `count` handshakes were completed, or `count` clients
    // ended with close_notify; false if they were not.
    bool WaitForHandshakes(int count) const { return WaitFor(m_handshakes, count); }
    bool WaitForCleanEnds(int count) const { return WaitFor(m_cleanEnds, count); }

  private:
    static bool WaitFor(const std::atomic<int>& counter, int count);
    void Serve();
    void Answer(int fd);

    ServerSetup m_setup;
    testing_support::TempFolder m_folder;
    std::filesystem::path m_caFile;
    std::shared_ptr<ssl_ctx_st> m_context;
    testing_support::Fd m_listener;
    std::uint16_t m_port = 0;
    std::atomic<int> m_handshakes = 0;
    std::atomic<int> m_cleanEnds = 0;
    std::thread m_thread;
};

}  // namespace tls_testing
