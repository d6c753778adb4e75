#include "tls_context.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace stowbox::service {

namespace {

// Why the first queued OpenSSL error happened (the later ones only say where it went up),
// the queue emptied.
std::string last_tls_error() {
    const unsigned long code = ERR_peek_error();
    const char* reason = ERR_SYSTEM_ERROR(code) ? std::strerror(ERR_GET_REASON(code))
                                                : ERR_reason_error_string(code);
    const std::string text = reason != nullptr ? reason : "unknown error";
    ERR_clear_error();
    return text;
}

}  // namespace

void SslDeleter::operator()(SSL* ssl) const {
    SSL_free(ssl);
}

void TlsContext::CtxDeleter::operator()(SSL_CTX* ctx) const {
    SSL_CTX_free(ctx);
}

TlsContext::TlsContext(const std::filesystem::path& certificate, const std::filesystem::path& key)
    : ctx_(SSL_CTX_new(TLS_server_method())) {
    if (!ctx_) {
        throw std::runtime_error("cannot set up TLS: " + last_tls_error());
    }
    SSL_CTX_set_min_proto_version(ctx_.get(), TLS1_2_VERSION);
    // A client asking to renegotiate again and again would cost the server a handshake each
    // time.
    SSL_CTX_set_options(ctx_.get(), SSL_OP_NO_RENEGOTIATION);
    if (SSL_CTX_use_certificate_chain_file(ctx_.get(), certificate.c_str()) != 1) {
        throw std::runtime_error("cannot use the TLS certificate " + certificate.string() + ": " +
                                 last_tls_error());
    }
    // This also checks that the key is the certificate's.
    if (SSL_CTX_use_PrivateKey_file(ctx_.get(), key.c_str(), SSL_FILETYPE_PEM) != 1) {
        throw std::runtime_error("cannot use the TLS key " + key.string() + ": " +
                                 last_tls_error());
    }
}

SslPtr TlsContext::new_connection(std::string_view session_scope) const {
    SslPtr ssl(SSL_new(ctx_.get()));
    if (!ssl || SSL_set_session_id_context(
                    ssl.get(), reinterpret_cast<const unsigned char*>(session_scope.data()),
                    unsigned(session_scope.size())) != 1) {
        ERR_clear_error();
        return {};
    }
    return ssl;
}

SslPtr TlsContext::new_data_connection(std::string_view session_scope) const {
    SslPtr ssl = new_connection(session_scope);
    if (ssl && SSL_set_num_tickets(ssl.get(), 0) != 1) {
        ERR_clear_error();
        return {};
    }
    return ssl;
}

}  // namespace stowbox::service
