#pragma once
// What the device's users of TLS see: the setting, whom to verify, a session to resume and why
// a protection failed. The library behind it stays inside platform/net.

#include <memory>
#include <string>

namespace platform::net {

// Whether a connection is protected: never, when the server offers it, or always.
enum class TlsMode { Off, Try, Require };

// A TLS session a later connection to the same server can resume (FTP data connections resume
// the control connection's). Copies share the one session; an empty one resumes nothing.
class TlsSession {
  public:
    struct Held;  // the library's session; defined where TLS is spoken
    TlsSession() = default;
    explicit TlsSession(std::shared_ptr<const Held> held) : m_held(std::move(held)) {}
    bool IsEmpty() const { return m_held == nullptr; }
    const Held* Get() const { return m_held.get(); }

  private:
    std::shared_ptr<const Held> m_held;
};

// How a connection is to be protected. The server proves to be the host the socket connected
// to, after the network's routes: a route says which server the user wants (the built-in
// address led to the service the user named), so that server's certificate must name it.
struct TlsRequest {
    // The name the certificate must carry when not the host connected to: an FTP data
    // connection goes to the control connection's address and proves the same server.
    std::string host{};
    TlsSession resume{};  // offered in the handshake; the server may decline it
    // Whether the connection belongs to the FTP session whose protection a front end shows;
    // a web request's does not, so it does not make the session look protected for a moment.
    bool partOfSession = true;
};

// Why a connection could not be protected, or why a protected one broke. `untrusted` marks a
// certificate that failed verification (or could not be verified); `reason` is the short text
// to show after the message.
struct TlsFailure {
    bool untrusted = false;
    std::string reason;
};

}  // namespace platform::net
