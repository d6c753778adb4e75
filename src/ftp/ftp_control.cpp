// The control connection: connect, command lines, replies, login, PWD, QUIT.

#include <algorithm>
#include <string_view>

#include "ftp/ftp_session.h"
#include "platform/device.h"
#include "platform/text/codepage.h"

namespace {

// A reply longer than this is no reply: the connection counts as broken.
constexpr std::size_t kMaxReplyLength = 64 * 1024;

bool IsPlainAscii(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0 && c < 0x80; });
}

bool EndsWithCrLf(const std::wstring& text) {
    return text.size() >= 2 && text[text.size() - 2] == L'\r' && text.back() == L'\n';
}

// The bytes that end a command line, or the text a server reads, early.
constexpr std::string_view kLineBreaking("\r\n\0", 3);

}  // namespace

CFtpSession::CFtpSession() = default;

CFtpSession::~CFtpSession() {
    m_dataSocket.Close();
    m_file.Close();
}

bool CFtpSession::Connect(std::wstring strHost, int nPort) {
    m_bProtectionRequired = false;  // a new log-in
    return OpenSession(std::move(strHost), nPort);
}

bool CFtpSession::OpenSession(std::wstring strHost, int nPort) {
    m_strHost = strHost;
    m_nPort = nPort;
    m_strLastFolder.clear();
    m_notice = ConnectionNotice::None;
    m_bReconnectDue = false;
    m_bConnectionLost = false;
    m_bCommandRefused = false;
    m_nameEncoding = NameEncoding::CodePage;
    m_bFeaturesAsked = false;
    m_bUtf8OptionDue = false;
    m_repliesAhead.clear();
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
    return m_bConnected && ProtectControlConnection();
}

bool CFtpSession::SendCommand(std::wstring strCommand) {
    const std::optional<std::string> bytes = CommandLine(std::move(strCommand));
    if (!bytes) {
        RefuseCommand();
        return false;
    }
    return SendLines(*bytes);
}

bool CFtpSession::IsSendable(std::wstring_view strText) {
    PrepareToSend();
    const std::optional<std::string> bytes = EncodeText(strText);
    return bytes && bytes->find_first_of(kLineBreaking) == std::string::npos;
}

std::optional<std::string> CFtpSession::CommandLine(std::wstring strCommand) {
    if (!EndsWithCrLf(strCommand)) {
        strCommand += L"\r\n";
    }
    // The connection and its encoding must be there before the first name goes out. A line of
    // plain ASCII reads the same in either encoding, so it need not wait for the features;
    // PWD still does, as a server may name folders in UTF-8 only once the option is on.
    if (IsPlainAscii(strCommand) && !strCommand.starts_with(L"PWD")) {
        PrepareConnection();
    } else {
        PrepareToSend();
    }
    std::optional<std::string> bytes = EncodeText(strCommand);
    // A CR, LF or NUL inside would end the line early and let the rest of a name (a file
    // named "x\r\nDELE keep.txt") reach the server as a command of its own.
    if (!bytes || bytes->find_first_of(kLineBreaking) < bytes->size() - 2) {
        return std::nullopt;
    }
    return bytes;
}

void CFtpSession::RefuseCommand() {
    // The caller's ReadReply for this command must not wait for a reply that never comes.
    m_bCommandRefused = true;
    SetReplyCode(ftp::kReplyCommandRefused);
}

bool CFtpSession::SendLines(std::string bytes) {
    if (m_bConnectionLost) {
        return false;
    }
    if (!m_pControlSocket || !m_bConnected) {
        return true;
    }
    if (bytes == "\r\n") {
        return false;  // an empty command
    }
    if (m_bUtf8OptionDue) {
        // In the same send as the command: the option costs no round trip of its own.
        bytes.insert(0, "OPTS UTF8 ON\r\n");
        m_bUtf8OptionDue = false;
        m_repliesAhead.push_back(ReplyAhead::Option);
    }
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

std::chrono::steady_clock::time_point CFtpSession::IoDeadline() {
    const auto timeout = platform::Device::Current().Net().IoTimeout();
    return timeout.count() > 0 ? std::chrono::steady_clock::now() + timeout
                               : std::chrono::steady_clock::time_point::max();
}

std::wstring CFtpSession::ReadReply() {
    return ReadReplyWithin(platform::Device::Current().Net().IoTimeout());
}

std::wstring CFtpSession::ReadReplyWithin(std::chrono::milliseconds timeout) {
    if (m_bCommandRefused) {
        // The reply to a command that was never sent: nothing of an earlier reply stands
        // for it.
        m_bCommandRefused = false;
        m_strReplyText.clear();
        SetReplyCode(ftp::kReplyCommandRefused);
        return {};
    }
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
    if (m_bFeaturesAsked) {
        // FEAT went out before whatever this reply answers: its reply comes first.
        ReceiveFeatures(deadline);
        if (m_bConnectionLost) {
            return m_strReplyText;
        }
    }
    while (!m_repliesAhead.empty()) {
        ReceiveReply(deadline);
        if (m_bConnectionLost) {
            return m_strReplyText;
        }
        if (m_repliesAhead.front() == ReplyAhead::CurrentDir) {
            // The folder a PWD names is where a reconnect returns to.
            m_strCurrentDirAhead = RememberCurrentDir();
        } else if (m_repliesAhead.front() == ReplyAhead::Command) {
            m_nCommandAheadCode = m_nReplyCode;
        }  // the server lists UTF8, so its names are UTF-8 whatever it answers the option
        m_repliesAhead.pop_front();
    }
    return ReceiveReply(deadline);
}

std::wstring CFtpSession::ReceiveReply(std::chrono::steady_clock::time_point deadline) {
    std::string line;
    std::string reply;
    for (;;) {
        char byte = 0;
        if (m_pControlSocket->Receive(&byte, 1, deadline) != 1) {
            // Ended, failed or timed out inside the reply: keep what came.
            return LoseConnection(DecodeText(reply + line));
        }
        if (reply.size() + line.size() == kMaxReplyLength) {
            return LoseConnection(DecodeText(reply + line));  // a byte beyond the longest reply
        }
        line.push_back(byte);
        if (!line.ends_with("\r\n")) {
            continue;
        }
        reply += line;
        if (line.size() >= 4 && line[3] == ' ') {
            break;
        }
        // A reply starts with three digits and a blank or hyphen; anything shorter is not one.
        if (reply.size() == line.size() && line.size() < 4 + 2) {
            return LoseConnection(DecodeText(reply));
        }
        line.clear();
    }
    // Names in replies (PWD, errors) are read in the session's encoding, as they were sent.
    m_strReplyText = DecodeText(reply);
    SetReplyCode(ftp::ReplyCodeOf(m_strReplyText));
    if (m_nReplyCode == ftp::kReplyConnectionLost) {
        return LoseConnection(m_strReplyText);  // the server is closing the connection
    }
    return m_strReplyText;
}

std::wstring CFtpSession::LoseConnection(std::wstring strPartial) {
    if (m_notice == ConnectionNotice::None) {
        m_notice = ConnectionNotice::Lost;
    }
    m_strReplyText = std::move(strPartial);
    SetReplyCode(ftp::kReplyConnectionLost);
    m_bConnected = false;
    m_bConnectionLost = true;
    m_repliesAhead.clear();
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
    if (!SendAndRead(L"PASS " + strPassword) || m_nReplyCode != ftp::kReplyLoggedIn) {
        return false;
    }
    m_strLoginUser = strUserName;
    m_strLoginPassword = strPassword;
    // Whether names go as UTF-8; the answer is read when the next command goes out.
    m_bFeaturesAsked = SendCommand(L"FEAT") && m_bConnected;
    return true;
}

std::wstring CFtpSession::GetCurrentDir() {
    if (!SendAndRead(L"PWD")) {
        return {};
    }
    return RememberCurrentDir();
}

std::wstring CFtpSession::RememberCurrentDir() {
    if (m_nReplyCode != ftp::kReplyPathCreated) {
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
    m_strLastFolder = m_strReplyText.substr(open + 1, close - open - 1);
    return m_strLastFolder;
}

void CFtpSession::SendCurrentDirAhead() {
    m_strCurrentDirAhead.clear();
    if (SendCommand(L"PWD") && m_bConnected) {
        m_repliesAhead.push_back(ReplyAhead::CurrentDir);
    }
}

void CFtpSession::SendCommandAhead(const std::wstring& strCommand) {
    m_nCommandAheadCode = 0;
    if (SendCommand(strCommand) && m_bConnected) {
        m_repliesAhead.push_back(ReplyAhead::Command);
    } else if (m_bCommandRefused) {
        m_bCommandRefused = false;  // no reply is due for it
        m_nCommandAheadCode = ftp::kReplyCommandRefused;
    }
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
