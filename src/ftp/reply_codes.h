#pragma once
// FTP reply codes the program tests, and the session's own failure codes.

#include <cstddef>
#include <string_view>

namespace ftp {

inline constexpr int kReplyDataAlreadyOpen = 125;   // LIST, STOR, RETR: transfer starting
inline constexpr int kReplyTransferStarting = 150;  // LIST, STOR, RETR: data transfer opened
inline constexpr int kReplyFeatures = 211;          // FEAT
inline constexpr int kReplyCommandOk = 200;
inline constexpr int kReplyServiceReady = 220;      // greeting
inline constexpr int kReplyClosing = 221;           // QUIT
inline constexpr int kReplySecurityAccepted = 234;  // AUTH TLS: the handshake follows
inline constexpr int kReplyTransferComplete = 226;  // end of LIST, STOR, RETR
inline constexpr int kReplyLoggedIn = 230;          // PASS
inline constexpr int kReplyFileActionOk = 250;      // RMD, CWD, DELE, RNTO
inline constexpr int kReplyPathCreated = 257;       // PWD, MKD
inline constexpr int kReplyNeedPassword = 331;      // USER
inline constexpr int kReplyPendingRename = 350;     // RNFR
inline constexpr int kReplyConnectionLost = 421;    // the control connection is gone or out of step
inline constexpr int kReplyTransferAborted = 426;   // the data connection broke mid-transfer
inline constexpr int kReplyDirectoryExists = 521;   // MKD of an existing folder
inline constexpr int kReplyNoSuchFile = 550;        // SIZE, CWD
inline constexpr int kReplyDataSocketFailed = 5001;  // the data socket could not be created
inline constexpr int kReplyCommandRefused = 5002;  // a name would break the line or lose characters
inline constexpr int kReplyLocalFileFailed = 5004;  // the local file could not be opened

// The decimal number at the start of a reply's first three characters, 0 without digits.
inline constexpr int ReplyCodeOf(std::wstring_view reply) {
    int code = 0;
    for (std::size_t i = 0; i < reply.size() && i < 3; ++i) {
        if (reply[i] < L'0' || reply[i] > L'9') {
            break;
        }
        code = code * 10 + static_cast<int>(reply[i] - L'0');
    }
    return code;
}

// The preliminary reply of a transfer: the server goes ahead with LIST, STOR or RETR.
inline constexpr bool IsTransferStarting(int nCode) {
    return nCode == kReplyTransferStarting || nCode == kReplyDataAlreadyOpen;
}

}  // namespace ftp
