// Which encoding names travel in: the device's code page, or UTF-8 when the server lists it.

#include "ftp/feature_reply.h"
#include "ftp/ftp_session.h"
#include "platform/text/codepage.h"

CFtpSession::NameEncoding CFtpSession::GetNameEncoding() {
    SettleNameEncoding();
    return m_nameEncoding;
}

bool CFtpSession::CanEncode(std::wstring_view strText) {
    PrepareToSend();
    return EncodeText(strText).has_value();
}

void CFtpSession::SettleNameEncoding() {
    if (!m_bFeaturesAsked) {
        return;
    }
    if (m_bConnectionLost || !m_pControlSocket || !m_bConnected) {
        m_bFeaturesAsked = false;
        return;
    }
    ReceiveFeatures(IoDeadline());
}

void CFtpSession::ReceiveFeatures(std::chrono::steady_clock::time_point deadline) {
    m_bFeaturesAsked = false;
    // A server without FEAT (500, 502) or without UTF8 keeps the code page.
    if (ftp::ListsFeature(ReceiveReply(deadline), L"UTF8")) {
        m_nameEncoding = NameEncoding::Utf8;
        m_bUtf8OptionDue = true;
    }
}

std::optional<std::string> CFtpSession::EncodeText(std::wstring_view strText) const {
    if (m_nameEncoding == NameEncoding::Utf8) {
        // Only what reads back as the same text: a wide value that is no character would go
        // out as U+FFFD.
        std::string bytes = platform::text::ToUtf8(strText);
        if (platform::text::FromUtf8(bytes) != strText) {
            return std::nullopt;
        }
        return bytes;
    }
    // Never a '?' for a character the code page lacks: two names would become one.
    return platform::text::ToAnsiExact(strText);
}

std::wstring CFtpSession::DecodeText(std::string_view bytes) const {
    if (m_nameEncoding == NameEncoding::Utf8) {
        return platform::text::FromUtf8(bytes);
    }
    return platform::text::FromAnsi(bytes);
}
