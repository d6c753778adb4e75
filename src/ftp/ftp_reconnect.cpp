// A lost control connection: told once, then mended by the next command.

#include "ftp/ftp_session.h"

CFtpSession::ConnectionNotice CFtpSession::TakeConnectionNotice() {
    const ConnectionNotice notice = std::exchange(m_notice, ConnectionNotice::None);
    if (notice != ConnectionNotice::None && m_bConnectionLost) {
        m_bReconnectDue = true;
    }
    return notice;
}

void CFtpSession::PrepareToSend() {
    PrepareConnection();
    SettleNameEncoding();
}

void CFtpSession::PrepareConnection() {
    if (m_bReconnectDue) {
        m_bReconnectDue = false;
        Reconnect();
    }
}

void CFtpSession::Reconnect() {
    // A new session starts afresh; what it forgets is needed again.
    const std::wstring strFolder = m_strLastFolder;
    const std::wstring strUser = m_strLoginUser;
    const std::wstring strPassword = m_strLoginPassword;
    const auto fail = [this, &strFolder](ConnectionNotice notice) {
        // Every later command of this step fails at once; the step after tries again, back
        // to the same folder.
        m_strLastFolder = strFolder;
        m_pControlSocket.reset();
        m_bConnected = false;
        m_bConnectionLost = true;
        m_notice = notice;
    };
    if (!OpenSession(m_strHost, m_nPort)) {
        fail(ConnectionNotice::ReconnectFailed);
        return;
    }
    if (!Login(strUser, strPassword)) {
        // Refused, unless the connection went on the way.
        fail(m_bConnectionLost ? ConnectionNotice::ReconnectFailed
                               : ConnectionNotice::LoginRefused);
        return;
    }
    // A folder that has gone leaves the session where the log-in put it.
    if (!strFolder.empty() && SendAndRead(L"CWD " + strFolder) &&
        m_nReplyCode == ftp::kReplyFileActionOk) {
        m_strLastFolder = strFolder;
    }
}
