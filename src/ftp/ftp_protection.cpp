// Protecting the session with TLS: the control connection after the greeting, each data
// connection after its transfer command was answered.

#include <utility>
#include <vector>

#include "ftp/ftp_session.h"
#include "platform/device.h"
#include "platform/text/codepage.h"

bool CFtpSession::ProtectControlConnection() {
    using platform::net::TlsMode;
    TlsMode mode = platform::Device::Current().Net().Tls();
    if (m_bProtectionRequired && mode != TlsMode::Off) {
        mode = TlsMode::Require;
    }
    m_securityRefusal = SecurityRefusal::None;
    m_strSecurityReason.clear();
    m_bDataProtected = false;
    if (mode == TlsMode::Off) {
        return true;
    }
    SendAndRead(L"AUTH TLS");
    if (!m_bConnected) {
        return false;
    }
    if (m_nReplyCode != ftp::kReplySecurityAccepted) {
        // Servers without TLS refuse with 500, 502, 504, 534 or 431; some ask for a log-in
        // first (530). Whatever the refusal, the server speaks in clear.
        return mode == TlsMode::Try || RefuseInsecure(SecurityRefusal::NotOffered);
    }
    if (!m_pControlSocket->StartTls({}, IoDeadline())) {
        const platform::net::TlsFailure& failure = m_pControlSocket->LastTlsFailure();
        if (failure.untrusted) {
            return RefuseInsecure(SecurityRefusal::Untrusted,
                                  platform::text::FromUtf8(failure.reason));
        }
        // A handshake that broke off is a connection that failed.
        m_pControlSocket.reset();
        m_bConnected = false;
        return false;
    }
    m_bProtectionRequired = true;
    // TLS frames the data itself, so no protection buffer is needed.
    const std::vector<std::wstring> replies = ExchangePipelined({L"PBSZ 0", L"PROT P"});
    if (!m_bConnected) {
        return false;
    }
    m_bDataProtected = ftp::ReplyCodeOf(replies[1]) == ftp::kReplyCommandOk;
    return m_bDataProtected || mode == TlsMode::Try || RefuseInsecure(SecurityRefusal::NotOffered);
}

bool CFtpSession::ProtectDataConnection() {
    if (!m_bDataProtected) {
        return true;
    }
    if (!m_pControlSocket) {
        return false;
    }
    // The server takes a data connection only from whoever holds the control connection's
    // session, so the data connection resumes it; it proves the same server.
    return m_dataSocket.StartTls(
        {.host = m_pControlSocket->ConnectedHost(), .resume = m_pControlSocket->SessionToResume()},
        IoDeadline());
}

bool CFtpSession::RefuseInsecure(SecurityRefusal refusal, std::wstring strReason) {
    m_securityRefusal = refusal;
    m_strSecurityReason = std::move(strReason);
    // Closed at once: not even QUIT goes out, since the server is not the one to talk to.
    m_pControlSocket.reset();
    m_bConnected = false;
    return false;
}
