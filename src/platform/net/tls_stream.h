#pragma once
// TLS spoken over one connected socket of the device's network: the handshake with its
// verification, then reads and writes that wait through the network like the plain socket's.
// Internal to platform/net.

#include <chrono>
#include <optional>

#include "platform/net/socket_io.h"
#include "platform/net/tls.h"
#include "platform/net/tls_context.h"

namespace platform::net {

class Network;

struct TlsSession::Held {
    OpenSslPtr<ssl_session_st> session;
};

// The library's call for each session a server hands out: the connection keeps the newest.
int KeepNewTlsSession(ssl_st* connection, ssl_session_st* session);

class TlsStream {
  public:
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;

    // `fd` is a connected socket of `network`; both must outlive the stream.
    TlsStream(int fd, const Network& network) : m_fd(fd), m_network(&network) { m_io.fd = fd; }
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    // The handshake, with the certificate verified for `host` and `resume` offered; false with
    // Failure() set.
    bool Handshake(const TlsContext& context, const std::string& host, const TlsSession& resume,
                   Deadline deadline);
    // Bytes read; 0 once the peer ended with close_notify; -1 on a time-out or an error,
    // a stream cut without close_notify included (what came may lack its end).
    int Read(void* buffer, int count, Deadline deadline);
    // Bytes written (at least one), or -1.
    int Write(const void* data, int count, Deadline deadline);
    // Sends close_notify, so the peer can tell a finished stream from a cut one; does not
    // wait for the peer's.
    void Close(Deadline deadline);

    // The newest session the server handed out, for another connection to resume. Records
    // that have already arrived are read first: with TLS 1.3 the session comes after the
    // handshake.
    TlsSession Session();
    bool Resumed() const;
    const TlsFailure& Failure() const { return m_failure; }

  private:
    struct Step {
        int result = 0;
        int error = 0;  // the library's SSL_ERROR_* for `result`
        bool timedOut = false;
    };
    template <class Call>
    Step Drive(Call call, Deadline deadline);
    bool ExpectPeer(const std::string& host);
    bool Offer(const TlsSession::Held& earlier);
    void Fail(const Step& step, const std::string& fallback);
    void FailHandshake(const Step& step);
    void TakeNewSession(ssl_session_st* session) { m_newest.reset(session); }

    friend int KeepNewTlsSession(ssl_st* connection, ssl_session_st* session);

    int m_fd;
    const Network* m_network;
    SocketIoState m_io;
    OpenSslPtr<ssl_st> m_connection;
    OpenSslPtr<ssl_session_st> m_newest;
    bool m_broken = false;  // the library reported a fatal error: nothing more may go through
    TlsFailure m_failure;
};

}  // namespace platform::net
