#pragma once

#include <openssl/types.h>

#include <filesystem>
#include <memory>
#include <string_view>

namespace stowbox::service {

struct SslDeleter {
    void operator()(SSL* ssl) const;
};
using SslPtr = std::unique_ptr<SSL, SslDeleter>;

// The server's certificate and key, and the TLS settings that every protected connection
// shares, FTP and web alike.
class TlsContext {
  public:
    // Throws std::runtime_error naming the file that cannot be used, and why.
    TlsContext(const std::filesystem::path& certificate, const std::filesystem::path& key);

    // The server side of one connection. A session resumes only on a connection given the
    // same `session_scope` (at most 32 bytes): that is what ties an FTP data connection to its
    // own control connection.
    SslPtr new_connection(std::string_view session_scope) const;
    // The same for an FTP data connection, which resumes its control connection's session and
    // so is given no tickets of its own. Under TLS 1.3 tickets follow the handshake as data
    // the client must read; an uploading client reads nothing, and a socket closed with bytes
    // unread is reset, losing the end of the upload it still held.
    SslPtr new_data_connection(std::string_view session_scope) const;

  private:
    struct CtxDeleter {
        void operator()(SSL_CTX* ctx) const;
    };
    std::unique_ptr<SSL_CTX, CtxDeleter> ctx_;
};

}  // namespace stowbox::service
