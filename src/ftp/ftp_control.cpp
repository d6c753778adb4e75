// The control connection: connect, command lines, replies, login, PWD, QUIT.

#include "ftp/ftp_session.h"
#include "platform/device.h"
#include "platform/text/codepage.h"

namespace {

// The decimal number at the start of the reply's first three characters, 0 without digits.
int ParseReplyCode(const std::wstring& reply) {
    int code = 0;
    for (std::size_t i = 0; i < reply.size() && i < 3; ++i) {
        if (reply[i] < L'0' || reply[i] > L'9') {
            break;
        }
        code = code * 10 + static_cast<int>(reply[i] - L'0');
    }
    return code;
}

bool EndsWithCrLf(const std::wstring& text) {
    return text.size() >= 2 && text[text.size() - 2] == L'\r' && text.back() == L'\n';
}

}  // namespace

CFtpSession::CFtpSession() = default;

CFtpSession::~CFtpSession() {
    m_dataSocket.Close();
    m_file.Close();
}

bool CFtpSession::Connect(std::wstring strHost, int nPort) {
    m_pControlSocket = std::make_unique<platform::net::Socket>();
    if (!m_pControlSocket->Create(platform::Device::Current().Net())) {
        m_pControlSocket.reset();
        m_bConnected = false;
        return false;
    }
    m_bConnected = nPort > 0 && nPort <= 0xFFFF &&
                   m_pControlSocket->Connect(platform::text::ToAnsi(strHost),
                                             static_cast<std::uint16_t>(nPort));
    ReadReply();
    if (m_nReplyCode != ftp::kReplyServiceReady) {
        m_bConnected = false;
    }
    return m_bConnected;
}

bool CFtpSession::SendCommand(std::wstring strCommand) {
    if (!m_pControlSocket || !m_bConnected) {
        return true;
    }
    if (strCommand.empty()) {
        return false;
    }
    if (!EndsWithCrLf(strCommand)) {
        strCommand += L"\r\n";
    }
    const std::string bytes = platform::text::ToAnsi(strCommand);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int count = m_pControlSocket->Send(bytes.data() + sent, bytes.size() - sent);
        if (count <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

std::wstring CFtpSession::ReadReply() {
    if (!m_pControlSocket || !m_bConnected) {
        return {};
    }
    std::wstring line;
    std::wstring reply;
    for (;;) {
        unsigned char byte = 0;
        if (m_pControlSocket->Receive(&byte, 1) != 1) {
            // The connection ended inside the reply: keep what came, with a code that no
            // caller takes for success.
            m_strReplyText = reply + line;
            SetReplyCode(ftp::kReplyConnectionLost);
            return m_strReplyText;
        }
        line.push_back(static_cast<wchar_t>(byte));
        if (!EndsWithCrLf(line)) {
            continue;
        }
        reply += line;
        if (line.size() >= 4 && line[3] == L' ') {
            break;
        }
        line.clear();
    }
    SetReplyCode(ParseReplyCode(reply));
    m_strReplyText = reply;
    return reply;
}

bool CFtpSession::SendAndRead(const std::wstring& strCommand) {
    const bool sent = SendCommand(strCommand);
    ReadReply();
    return sent;
}

bool CFtpSession::Login(std::wstring strUserName, std::wstring strPassword) {
    if (!SendAndRead(L"USER " + strUserName) || m_nReplyCode != ftp::kReplyNeedPassword) {
        return false;
    }
    return SendAndRead(L"PASS " + strPassword) && m_nReplyCode == ftp::kReplyLoggedIn;
}

std::wstring CFtpSession::GetCurrentDir() {
    if (!SendAndRead(L"PWD") || m_nReplyCode != ftp::kReplyPathCreated) {
        return {};
    }
    const std::size_t open = m_strReplyText.find(L'"');
    if (open == std::wstring::npos) {
        return {};
    }
    const std::size_t close = m_strReplyText.find(L'"', open + 1);
    if (close == std::wstring::npos) {
        return {};
    }
    return m_strReplyText.substr(open + 1, close - open - 1);
}

bool CFtpSession::Quit() {
    if (!m_pControlSocket) {
        return false;
    }
    if (!m_bConnected) {
        return true;
    }
    if (SendAndRead(L"QUIT") && m_nReplyCode == ftp::kReplyClosing) {
        Close();
        return true;
    }
    return false;
}

void CFtpSession::Close() {
    m_pControlSocket.reset();
}
