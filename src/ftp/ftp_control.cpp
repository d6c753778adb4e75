// The control connection: connect, command lines, replies, login, PWD, QUIT.

#include "ftp/ftp_session.h"
#include "platform/device.h"
#include "platform/text/codepage.h"

namespace {

// A reply longer than this is no reply: the connection counts as broken.
constexpr std::size_t kMaxReplyLength = 64 * 1024;

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
    m_bConnectionLost = false;
    m_pControlSocket = std::make_unique<platform::net::Socket>();
    if (!m_pControlSocket->Create(platform::Device::Current().Net())) {
        m_pControlSocket.reset();
        m_bConnected = false;
        return false;
    }
    m_bConnected = nPort > 0 && nPort <= 0xFFFF &&
                   m_pControlSocket->Connect(platform::text::ToAnsi(strHost),
                                             static_cast<std::uint16_t>(nPort));
    ReadReplyWithin(platform::Device::Current().Net().GreetingTimeout());
    if (m_nReplyCode != ftp::kReplyServiceReady) {
        m_bConnected = false;
    }
    return m_bConnected;
}

bool CFtpSession::SendCommand(std::wstring strCommand) {
    if (m_bConnectionLost) {
        return false;
    }
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
            // Whatever the server makes of a part of a command, its replies can no longer be
            // matched to ours.
            LoseConnection(m_strReplyText);
            return false;
        }
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

std::wstring CFtpSession::ReadReply() {
    return ReadReplyWithin(platform::Device::Current().Net().IoTimeout());
}

std::wstring CFtpSession::ReadReplyWithin(std::chrono::milliseconds timeout) {
    if (m_bConnectionLost) {
        SetReplyCode(ftp::kReplyConnectionLost);
        return {};
    }
    if (!m_pControlSocket || !m_bConnected) {
        return {};
    }
    // The whole reply must arrive in time: a server that drips bytes cannot hold us longer.
    const auto deadline = timeout.count() > 0 ? std::chrono::steady_clock::now() + timeout
                                              : std::chrono::steady_clock::time_point::max();
    std::wstring line;
    std::wstring reply;
    for (;;) {
        unsigned char byte = 0;
        if (m_pControlSocket->Receive(&byte, 1, deadline) != 1) {
            // Ended, failed or timed out inside the reply: keep what came.
            return LoseConnection(reply + line);
        }
        if (reply.size() + line.size() == kMaxReplyLength) {
            return LoseConnection(reply + line);  // a byte beyond the longest reply
        }
        line.push_back(static_cast<wchar_t>(byte));
        if (!EndsWithCrLf(line)) {
            continue;
        }
        reply += line;
        if (line.size() >= 4 && line[3] == L' ') {
            break;
        }
        // A reply starts with three digits and a blank or hyphen; anything shorter is not one.
        if (reply.size() == line.size() && line.size() < 4 + 2) {
            return LoseConnection(reply);
        }
        line.clear();
    }
    SetReplyCode(ParseReplyCode(reply));
    m_strReplyText = reply;
    return reply;
}

std::wstring CFtpSession::LoseConnection(std::wstring strPartial) {
    m_strReplyText = std::move(strPartial);
    SetReplyCode(ftp::kReplyConnectionLost);
    m_bConnected = false;
    m_bConnectionLost = true;
    m_pControlSocket.reset();
    return m_strReplyText;
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
