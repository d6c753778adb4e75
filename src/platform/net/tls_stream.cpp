#include "platform/net/tls_stream.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>

#include "platform/net/socket.h"
#include "platform/net/wait_ready.h"

namespace platform::net {
namespace {

bool IsAddress(const std::string& host) {
    unsigned char address[sizeof(in6_addr)];
    return ::inet_pton(AF_INET, host.c_str(), address) == 1 ||
           ::inet_pton(AF_INET6, host.c_str(), address) == 1;
}

}  // namespace

int KeepNewTlsSession(ssl_st* connection, ssl_session_st* session) {
    auto* stream = static_cast<TlsStream*>(SSL_get_app_data(connection));
    if (stream == nullptr) {
        return 0;  // not ours to keep: the library frees it
    }
    stream->TakeNewSession(session);
    return 1;
}

// Runs one call of the library until it is done, waiting for the socket whenever the library
// needs it to be readable or writable, until `deadline`.
template <class Call>
TlsStream::Step TlsStream::Drive(Call call, Deadline deadline) {
    for (;;) {
        ERR_clear_error();
        Step step{call()};
        if (step.result > 0) {
            return step;
        }
        step.error = SSL_get_error(m_connection.get(), step.result);
        const bool wantsRead = step.error == SSL_ERROR_WANT_READ;
        if (!wantsRead && step.error != SSL_ERROR_WANT_WRITE) {
            m_broken = step.error == SSL_ERROR_SSL || step.error == SSL_ERROR_SYSCALL;
            return step;
        }
        if (!WaitReady(m_fd, wantsRead ? POLLIN : POLLOUT, deadline, *m_network)) {
            step.timedOut = true;
            return step;
        }
    }
}

void TlsStream::Fail(const Step& step, const std::string& fallback) {
    m_failure = {false,
                 step.timedOut ? "the server did not answer in time" : LibraryReason(fallback)};
}

void TlsStream::FailHandshake(const Step& step) {
    const long verdict = SSL_get_verify_result(m_connection.get());
    if (verdict != X509_V_OK) {
        m_failure = {true, X509_verify_cert_error_string(verdict)};
    } else {
        Fail(step, "the server ended the connection during the handshake");
    }
}

// The certificate must name what the user connected to: the address itself when one was
// given (no name is sent then), else the host name, which also picks the server's certificate.
bool TlsStream::ExpectPeer(const std::string& host) {
    ssl_st* connection = m_connection.get();
    if (host.empty()) {
        m_failure = {true, "no server name to verify the certificate against"};
        return false;
    }
    if (IsAddress(host)) {
        return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(connection), host.c_str()) == 1;
    }
    SSL_set_hostflags(connection, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    return SSL_set_tlsext_host_name(connection, host.c_str()) == 1 &&
           SSL_set1_host(connection, host.c_str()) == 1;
}

// A copy is offered: the library marks the session of a connection that ends without
// close_notify as not to be resumed, and one cut data connection must not spoil the control
// connection's session for the next ones.
bool TlsStream::Offer(const TlsSession::Held& earlier) {
    const OpenSslPtr<ssl_session_st> copy(SSL_SESSION_dup(earlier.session.get()));
    return copy && SSL_set_session(m_connection.get(), copy.get()) == 1;
}

bool TlsStream::Handshake(const TlsContext& context, const std::string& host,
                          const TlsSession& resume, Deadline deadline) {
    if (context.Get() == nullptr) {
        m_failure = {true, context.SetupFailure()};
        return false;
    }
    m_connection.reset(SSL_new(context.Get()));
    bio_st* io = m_connection ? NewSocketIo(context.SocketIo(), m_io) : nullptr;
    if (io == nullptr) {
        m_failure = {false, LibraryReason("TLS cannot be set up")};
        return false;
    }
    ssl_st* connection = m_connection.get();
    SSL_set_bio(connection, io, io);
    SSL_set_app_data(connection, this);
    if (!ExpectPeer(host)) {
        if (m_failure.reason.empty()) {
            m_failure = {true, LibraryReason("the server's name cannot be checked")};
        }
        return false;
    }
    if (!resume.IsEmpty() && !Offer(*resume.Get())) {
        m_failure = {false, LibraryReason("the earlier session cannot be offered")};
        return false;
    }
    const Step step = Drive([connection] { return SSL_connect(connection); }, deadline);
    if (step.result != 1) {
        FailHandshake(step);
        return false;
    }
    return true;
}

int TlsStream::Read(void* buffer, int count, Deadline deadline) {
    if (m_broken) {
        return -1;
    }
    ssl_st* connection = m_connection.get();
    const Step step = Drive([&] { return SSL_read(connection, buffer, count); }, deadline);
    if (step.result > 0) {
        return step.result;
    }
    if (step.error == SSL_ERROR_ZERO_RETURN) {
        return 0;
    }
    Fail(step, "the connection was cut without a secure end");
    return -1;
}

int TlsStream::Write(const void* data, int count, Deadline deadline) {
    if (m_broken) {
        return -1;
    }
    ssl_st* connection = m_connection.get();
    const Step step = Drive([&] { return SSL_write(connection, data, count); }, deadline);
    if (step.result > 0) {
        return step.result;
    }
    Fail(step, "the connection broke");
    return -1;
}

void TlsStream::Close(Deadline deadline) {
    ssl_st* connection = m_connection.get();
    if (m_broken || connection == nullptr || !SSL_is_init_finished(connection)) {
        return;  // the library forbids a close_notify after a fatal error
    }
    // 0 means ours went out and the peer's has not come: all a closing side needs.
    Drive(
        [connection] {
            const int result = SSL_shutdown(connection);
            return result == 0 ? 1 : result;
        },
        deadline);
}

TlsSession TlsStream::Session() {
    ssl_st* connection = m_connection.get();
    if (!m_broken && connection != nullptr) {
        // Processes what has arrived without taking application bytes or waiting.
        char byte = 0;
        ERR_clear_error();
        const int result = SSL_peek(connection, &byte, 1);
        if (result <= 0) {
            const int error = SSL_get_error(connection, result);
            m_broken = error == SSL_ERROR_SSL || error == SSL_ERROR_SYSCALL;
        }
        ERR_clear_error();
    }
    if (!m_newest || SSL_SESSION_up_ref(m_newest.get()) != 1) {
        return {};
    }
    return TlsSession(std::make_shared<const TlsSession::Held>(
        TlsSession::Held{OpenSslPtr<ssl_session_st>(m_newest.get())}));
}

bool TlsStream::Resumed() const {
    return m_connection && SSL_session_reused(m_connection.get()) == 1;
}

}  // namespace platform::net
