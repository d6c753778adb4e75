#pragma once
// The program's one FTP session: control connection, passive-mode transfers, file operations.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ftp/reply_codes.h"
#include "platform/fs/file_system.h"
#include "platform/net/socket.h"

class CFtpSession {
  public:
    CFtpSession();
    virtual ~CFtpSession();
    CFtpSession(const CFtpSession&) = delete;
    CFtpSession& operator=(const CFtpSession&) = delete;

    // Whether a remote upload path held a file before the upload: a failed upload removes
    // only a file it made itself.
    enum class PriorRemoteFile { Unknown, Absent, Present };

    // Control connection.
    bool Connect(std::wstring strHost, int nPort);
    // A command whose text holds CR, LF or NUL before its end is never sent: the call fails,
    // and the ReadReply that follows gives kReplyCommandRefused without waiting.
    bool SendCommand(std::wstring strCommand);
    // Whether a name (or any argument) can go into a command.
    static bool IsSendable(std::wstring_view strText);
    std::wstring ReadReply();
    // A command and its reply: true when the command went out.
    bool SendAndRead(const std::wstring& strCommand);
    int GetReplyCode() const { return m_nReplyCode; }
    std::wstring GetReplyText() const { return m_strReplyText; }
    void SetReplyCode(int nCode) { m_nReplyCode = nCode; }
    bool Login(std::wstring strUserName, std::wstring strPassword);
    std::wstring GetCurrentDir();
    bool Quit();
    void Close();
    // Sends the commands in order without waiting for each reply (at most
    // kMaxPipelinedCommands unanswered at a time) and gives their replies in the same order,
    // each as ReadReply gives it.
    std::vector<std::wstring> ExchangePipelined(const std::vector<std::wstring>& commands);
    static constexpr std::size_t kMaxPipelinedCommands = 64;

    // Data transfers.
    bool OpenDataConnection();
    bool List(std::wstring strFolder, std::wstring& strListing);
    // With an unknown prior file the server is asked (SIZE) along with the data connection.
    bool StoreFile(std::wstring strLocalPath, std::wstring strRemoteName,
                   PriorRemoteFile prior = PriorRemoteFile::Unknown);
    bool RetrieveFile(std::wstring strRemoteName, std::wstring strLocalPath);

    // File operations.
    bool RemoveDir(std::wstring strFolder);
    bool Rename(std::wstring strOldName, std::wstring strNewName);

    std::wstring m_strReplyText;
    std::wstring m_strListing;
    std::unique_ptr<platform::net::Socket> m_pControlSocket;
    bool m_bConnected = false;
    int m_nReplyCode = 0;
    platform::net::Socket m_dataSocket;
    platform::fs::File m_file;
    std::wstring m_strStoreInPlace;

  private:
    // How the block loop of an upload or download ended. Broken: the data connection failed
    // or timed out before the data were through.
    enum class BlockLoopEnd { Done, Cancelled, LocalFileFailed, Broken };

    std::wstring ReadReplyWithin(std::chrono::milliseconds timeout);
    // The bytes of one command line, or nothing when the text would break the line.
    static std::optional<std::string> CommandLine(std::wstring strCommand);
    void RefuseCommand();
    // Sends whole command lines (true without a connection, as SendCommand).
    bool SendLines(const std::string& bytes);
    // TYPE I, `strProbe` and PASV in one round trip; `nProbeCode` gets the probe's reply code.
    // Without a probe, TYPE I and PASV each wait for their reply.
    bool OpenDataConnectionProbing(const std::wstring& strProbe, int& nProbeCode);
    // The rest of opening a data connection, once the PASV reply is in.
    bool ConnectDataSocket();
    // The control connection is out of step or gone: records `strPartial` with the code
    // kReplyConnectionLost, closes the connection and makes every later command fail at once.
    std::wstring LoseConnection(std::wstring strPartial);
    // After the server opened a transfer (125 or 150) over a data connection that broke or
    // never came about: resets it, reads the server's final reply, gives kReplyTransferAborted.
    void EndBrokenTransfer();
    std::wstring StorePath(const std::wstring& strRemoteName) const;
    bool AbandonTransfer(int nReplyCode);
    // A name that cannot go into a command: nothing is sent, the call fails.
    bool RefuseName();
    BlockLoopEnd SendFileBlocks();
    BlockLoopEnd ReceiveFileBlocks(std::uint64_t& nReceived);

    bool m_bConnectionLost = false;  // since the last Connect
    bool m_bDataConnected = false;   // the data connection of the running transfer came about
    bool m_bCommandRefused = false;  // the last command was refused, its ReadReply is due
};
