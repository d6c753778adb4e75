// Folder removal and renaming; the other file commands are sent by the windows themselves.

#include "ftp/ftp_session.h"

bool CFtpSession::RemoveDir(std::wstring strFolder) {
    if (strFolder.empty()) {
        return false;
    }
    return SendAndRead(L"RMD " + strFolder) && m_nReplyCode == ftp::kReplyFileActionOk;
}

bool CFtpSession::Rename(std::wstring strOldName, std::wstring strNewName) {
    if (strOldName.empty() || strNewName.empty()) {
        return false;
    }
    // Both names or neither: an RNFR without its RNTO would leave the server waiting.
    if (!IsSendable(strOldName) || !IsSendable(strNewName)) {
        return RefuseName();
    }
    if (!SendAndRead(L"RNFR " + strOldName) || m_nReplyCode != ftp::kReplyPendingRename) {
        return false;
    }
    // The RNTO reply is left to callers that care (GetReplyCode gives 250 on success).
    return SendAndRead(L"RNTO " + strNewName);
}
