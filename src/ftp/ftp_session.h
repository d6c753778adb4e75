#pragma once
// The program's one FTP session: control connection, passive-mode transfers, file operations.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ftp/reply_codes.h"
#include "platform/fs/file_system.h"
#include "platform/fs/staged_file.h"
#include "platform/net/socket.h"

namespace ftp {
class TransferMeter;
}

class CFtpSession {
  public:
    CFtpSession();
    virtual ~CFtpSession();
    CFtpSession(const CFtpSession&) = delete;
    CFtpSession& operator=(const CFtpSession&) = delete;

    // Whether a remote upload path held a file before the upload: a failed upload removes
    // only a file it made itself.
    enum class PriorRemoteFile { Unknown, Absent, Present };

    // Where an upload lands: in the remote root under its name, or in the server's current
    // folder (a folder walk, a paste into the folder shown).
    enum class StoreTarget { RemoteRoot, CurrentFolder };

    // How names travel: the device's code page, or UTF-8 once the server lists UTF8 among
    // its features after login.
    enum class NameEncoding { CodePage, Utf8 };

    // What the person must be told about the control connection: it was lost, or the
    // reconnect after a loss could not connect, or its log-in was refused.
    enum class ConnectionNotice { None, Lost, ReconnectFailed, LoginRefused };

    // Why Connect would not go on to a log-in although the server greeted: it offered no
    // protection the device's setting requires, or its certificate failed verification.
    enum class SecurityRefusal { None, NotOffered, Untrusted };

    // Control connection.
    bool Connect(std::wstring strHost, int nPort);
    // A command whose text holds CR, LF or NUL before its end, or a character the session's
    // encoding cannot carry exactly, is never sent: the call fails, and the ReadReply that
    // follows gives kReplyCommandRefused without waiting.
    bool SendCommand(std::wstring strCommand);
    // Whether a name (or any argument) can go into a command.
    bool IsSendable(std::wstring_view strText);
    // Whether the session's encoding carries the text exactly (line breaks aside).
    bool CanEncode(std::wstring_view strText);
    NameEncoding GetNameEncoding();
    std::wstring ReadReply();
    // A command and its reply: true when the command went out.
    bool SendAndRead(const std::wstring& strCommand);
    // Whether the server greeted and the control connection is still open.
    bool IsConnected() const { return m_pControlSocket && m_bConnected; }
    // Set by the last Connect; for Untrusted, the verification's reason.
    SecurityRefusal GetSecurityRefusal() const { return m_securityRefusal; }
    const std::wstring& GetSecurityReason() const { return m_strSecurityReason; }
    int GetReplyCode() const { return m_nReplyCode; }
    std::wstring GetReplyText() const { return m_strReplyText; }
    void SetReplyCode(int nCode) { m_nReplyCode = nCode; }
    // After a successful login the server is asked for its features; the answer is read with
    // the next command, so that it costs no round trip of its own.
    bool Login(std::wstring strUserName, std::wstring strPassword);
    std::wstring GetCurrentDir();
    // Sends PWD without waiting for its answer: the reply is read with the next command's, so
    // it costs no round trip of its own. CurrentDirAhead() then gives the folder it named (as
    // GetCurrentDir() would have), empty before the reply was read.
    void SendCurrentDirAhead();
    const std::wstring& CurrentDirAhead() const { return m_strCurrentDirAhead; }
    // Sends a command whose answer is read with the next command's; CommandAheadCode() then
    // gives its reply code (0 before it was read).
    void SendCommandAhead(const std::wstring& strCommand);
    int CommandAheadCode() const { return m_nCommandAheadCode; }
    bool Quit();
    void Close();
    // Sends the commands in order without waiting for each reply (at most
    // kMaxPipelinedCommands unanswered at a time) and gives their replies in the same order,
    // each as ReadReply gives it.
    std::vector<std::wstring> ExchangePipelined(const std::vector<std::wstring>& commands);
    // As ExchangePipelined, but the last command's reply is left to the caller's ReadReply: a
    // transfer command is answered only once its data connection is open.
    std::vector<std::wstring> ExchangePipelinedLeavingLast(
        const std::vector<std::wstring>& commands);
    // A folder's SIZE commands leave in one window; their replies (some 20 bytes each) still
    // fit the socket buffers while the window is being sent, so neither side blocks.
    static constexpr std::size_t kMaxPipelinedCommands = 256;

    // Lost connections. Once lost (time-out, reset, end of stream, 421), every command fails
    // at once until the loss has been told: the next command after that reconnects first
    // (connect, the same log-in, CWD to the last folder PWD named), so that the person goes
    // on without restarting. A broken transfer is never repeated.
    bool IsConnectionLost() const { return m_bConnectionLost; }
    // The notice since the last call, once; the next command then reconnects.
    ConnectionNotice TakeConnectionNotice();

    // Data transfers.
    bool List(std::wstring strFolder, std::wstring& strListing);
    // With an unknown prior file the server is asked (SIZE) along with the data connection.
    bool StoreFile(std::wstring strLocalPath, std::wstring strRemoteName,
                   PriorRemoteFile prior = PriorRemoteFile::Unknown,
                   StoreTarget target = StoreTarget::RemoteRoot);
    bool RetrieveFile(std::wstring strRemoteName, std::wstring strLocalPath);

    // File operations.
    bool RemoveDir(std::wstring strFolder);
    bool Rename(std::wstring strOldName, std::wstring strNewName);

  private:
    // How the block loop of an upload or download ended. Broken: the data connection failed
    // or timed out before the data were through.
    enum class BlockLoopEnd { Done, Cancelled, LocalFileFailed, Broken };

    // Sends every command and reads the replies of the first `nToRead`.
    std::vector<std::wstring> ExchangePipelinedReading(const std::vector<std::wstring>& commands,
                                                       std::size_t nToRead);
    // Connect, but keeping what the log-in so far requires (a reconnect).
    bool OpenSession(std::wstring strHost, int nPort);
    // The folder a PWD reply names, kept for reconnects; empty for another reply.
    std::wstring RememberCurrentDir();
    std::wstring ReadReplyWithin(std::chrono::milliseconds timeout);
    // Now plus the network's I/O time-out; no limit when that is none.
    static std::chrono::steady_clock::time_point IoDeadline();
    // After the greeting: AUTH TLS, the handshake, PBSZ 0 and PROT P as the device's setting
    // asks. False when the log-in must not go on (the refusal is recorded, the connection
    // closed).
    bool ProtectControlConnection();
    bool ProtectDataConnection();  // after the transfer command's 125 or 150
    // The control connection was refused protection: ends it, nothing more goes out.
    bool RefuseInsecure(SecurityRefusal refusal, std::wstring strReason = {});
    // Receives one whole reply from the server and records it.
    std::wstring ReceiveReply(std::chrono::steady_clock::time_point deadline);
    // The bytes of one command line, or nothing when the text would break the line or holds
    // a character the session's encoding lacks.
    std::optional<std::string> CommandLine(std::wstring strCommand);
    void RefuseCommand();
    // Sends whole command lines (true without a connection, as SendCommand).
    bool SendLines(std::string bytes);

    // Names on the wire in the session's encoding; nothing when a character has no exact form.
    std::optional<std::string> EncodeText(std::wstring_view strText) const;
    std::wstring DecodeText(std::string_view bytes) const;
    // Reads the features the server gave after login, if not read yet, and picks the encoding.
    void SettleNameEncoding();
    // Reads the reply to FEAT and picks the encoding from it.
    void ReceiveFeatures(std::chrono::steady_clock::time_point deadline);
    // Before anything goes out: reconnects when due, then settles the encoding.
    void PrepareToSend();
    // Reconnects when due.
    void PrepareConnection();
    void Reconnect();
    // The data connection of a transfer, once the PASV reply is in (nothing when the
    // connection was lost or the reply names no port).
    void ConnectDataSocket(const std::wstring& strPasvReply);
    // What every transfer starts with: `strName` checked, then TYPE I, `strProbe` (when
    // given), PASV and `strVerb` with the name in one round trip, and the transfer command
    // answered 125 or 150 over a data connection that came about. False otherwise, with the
    // reason recorded. `sendEarly` (when given) runs once an unprotected data connection is
    // open, before the transfer command's answer is read.
    bool OpenTransfer(std::wstring_view strVerb, const std::wstring& strName,
                      const std::wstring& strProbe, int& nProbeCode,
                      const std::function<void()>& sendEarly = nullptr);
    // Ends the data connection after a block loop (a reset when it broke, so that the server
    // cannot take a part for the whole) and reads the server's final reply.
    void EndDataTransfer(BlockLoopEnd end);
    // The device's own failure code for a block loop that ended unfinished; a cancelled one
    // keeps the server's reply.
    void RecordUnfinishedEnd(BlockLoopEnd end);
    // The control connection is out of step or gone: records `strPartial` with the code
    // kReplyConnectionLost, closes the connection and makes every later command fail at once.
    std::wstring LoseConnection(std::wstring strPartial);
    // After the server opened a transfer (125 or 150) over a data connection that broke or
    // never came about: resets it, reads the server's final reply, gives kReplyTransferAborted.
    void EndBrokenTransfer();
    static std::wstring StorePath(const std::wstring& strRemoteName, StoreTarget target);
    bool AbandonTransfer(int nReplyCode);
    // A name that cannot go into a command: nothing is sent, the call fails.
    bool RefuseName();
    // The block loops count what they move with `meter`, which keeps the user interface told.
    BlockLoopEnd SendFileBlocks(ftp::TransferMeter& meter);
    BlockLoopEnd ReceiveFileBlocks(platform::fs::StagedFile& file, ftp::TransferMeter& meter);

    std::wstring m_strReplyText;
    std::wstring m_strListing;  // the last whole listing
    std::unique_ptr<platform::net::Socket> m_pControlSocket;
    bool m_bConnected = false;  // the server greeted
    int m_nReplyCode = 0;
    platform::net::Socket m_dataSocket;
    platform::fs::File m_file;  // the device file an upload reads

    bool m_bConnectionLost = false;  // since the last Connect
    bool m_bDataConnected = false;   // the data connection of the running transfer came about
    bool m_bCommandRefused = false;  // the last command was refused, its ReadReply is due
    NameEncoding m_nameEncoding = NameEncoding::CodePage;
    bool m_bFeaturesAsked = false;  // FEAT is out, its reply not read yet
    bool m_bUtf8OptionDue = false;  // OPTS UTF8 ON goes out with the next command
    // Commands sent ahead, in order, whose replies come before the next one: PWD, OPTS UTF8
    // ON, and others whose reply code is kept.
    enum class ReplyAhead { CurrentDir, Option, Command };
    std::deque<ReplyAhead> m_repliesAhead;
    std::wstring m_strCurrentDirAhead;  // what the last PWD sent ahead named
    int m_nCommandAheadCode = 0;        // the reply code of the last other command sent ahead

    // What a reconnect repeats.
    std::wstring m_strHost;
    int m_nPort = 0;
    std::wstring m_strLoginUser;
    std::wstring m_strLoginPassword;
    std::wstring m_strLastFolder;  // as the last PWD named it
    ConnectionNotice m_notice = ConnectionNotice::None;
    bool m_bReconnectDue = false;

    SecurityRefusal m_securityRefusal = SecurityRefusal::None;
    std::wstring m_strSecurityReason;
    bool m_bDataProtected = false;  // the control connection is protected and PROT P accepted
    // Once a log-in was protected, its reconnects insist on protection: a server that
    // suddenly refuses AUTH TLS may be someone on the path wanting the password in clear.
    bool m_bProtectionRequired = false;
};
