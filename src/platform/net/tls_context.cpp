#include "platform/net/tls_context.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include "platform/net/socket_io.h"
#include "platform/net/tls_stream.h"

namespace platform::net {

void OpenSslFree::operator()(ssl_ctx_st* context) const {
    SSL_CTX_free(context);
}
void OpenSslFree::operator()(ssl_st* connection) const {
    SSL_free(connection);
}
void OpenSslFree::operator()(ssl_session_st* session) const {
    SSL_SESSION_free(session);
}
void OpenSslFree::operator()(bio_method_st* method) const {
    BIO_meth_free(method);
}

std::string LibraryReason(const std::string& fallback) {
    const char* reason = ERR_reason_error_string(ERR_peek_last_error());
    return reason != nullptr ? reason : fallback;
}

bool SetUpClient(ssl_ctx_st* context, const std::filesystem::path& caFile) {
    return SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) == 1 &&
           (caFile.empty() || SSL_CTX_load_verify_file(context, caFile.c_str()) == 1);
}

TlsContext::Made TlsContext::Make(const std::filesystem::path& caFile) {
    Made made;
    made.context.reset(SSL_CTX_new(TLS_client_method()));
    made.socketIo = NewSocketIoMethod();
    ssl_ctx_st* context = made.context.get();
    if (context == nullptr || !made.socketIo || SSL_CTX_set_default_verify_paths(context) != 1) {
        made.context.reset();
        made.failure = LibraryReason("TLS cannot be set up");
        return made;
    }
    if (!SetUpClient(context, caFile)) {
        made.context.reset();
        made.failure = "cannot read the CA file " + caFile.string();
        return made;
    }
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    // Sends give up part way at a deadline and go on from there: writes may be partial and
    // come from a moved buffer.
    SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // A session goes to the connection that got it (for its data connections to resume), not
    // to a cache of the context shared by every server.
    SSL_CTX_set_session_cache_mode(context,
                                   SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(context, KeepNewTlsSession);
    return made;
}

const TlsContext::Made& TlsContext::Ready() const {
    std::call_once(m_once, [this] { m_made = Make(m_caFile); });
    return m_made;
}

ssl_ctx_st* TlsContext::Get() const {
    return Ready().context.get();
}

const bio_method_st* TlsContext::SocketIo() const {
    return Ready().socketIo.get();
}

const std::string& TlsContext::SetupFailure() const {
    return Ready().failure;
}

}  // namespace platform::net
