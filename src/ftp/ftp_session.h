#pragma once
// The program's one FTP session: control connection, passive-mode transfers, file operations.

#include <chrono>
#include <memory>
#include <string>
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

    // Control connection.
    bool Connect(std::wstring strHost, int nPort);
    bool SendCommand(std::wstring strCommand);
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
    bool StoreFile(std::wstring strLocalPath, std::wstring strRemoteName);
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
    // The control connection is out of step or gone: records `strPartial` with the code
    // kReplyConnectionLost, closes the connection and makes every later command fail at once.
    std::wstring LoseConnection(std::wstring strPartial);
    // After the server opened a transfer (125 or 150) over a data connection that broke or
    // never came about: resets it, reads the server's final reply, gives kReplyTransferAborted.
    void EndBrokenTransfer();
    std::wstring StorePath(const std::wstring& strRemoteName) const;
    bool AbandonTransfer(int nReplyCode);
    BlockLoopEnd SendFileBlocks();
    BlockLoopEnd ReceiveFileBlocks();

    bool m_bConnectionLost = false;  // since the last Connect
    bool m_bDataConnected = false;   // the data connection of the running transfer came about
};
