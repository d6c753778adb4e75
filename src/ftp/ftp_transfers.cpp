// Passive-mode data transfers: the data connection, LIST, STOR and RETR.

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "ftp/cancel_tap.h"
#include "ftp/download_target.h"
#include "ftp/ftp_session.h"
#include "ftp/pasv_reply.h"
#include "ftp/transfer_blocks.h"
#include "platform/device.h"
#include "platform/text/codepage.h"
#include "res/session_texts.h"

namespace {

using platform::fs::File;

using ftp::kReceiveBlock;
using ftp::kSendBlock;
using ftp::kWriteBuffer;

}  // namespace

bool CFtpSession::OpenDataConnection() {
    // Without it a standard server transfers in ASCII mode and alters binary files.
    SendAndRead(L"TYPE I");
    SendAndRead(L"PASV ");
    const auto offered = ftp::ParsePasvReply(m_strReplyText);
    if (!m_dataSocket.Create(platform::Device::Current().Net())) {
        SetReplyCode(ftp::kReplyDataSocketFailed);
        return false;
    }
    // Data goes only to the server of the control connection, whatever address the reply
    // names. A malformed reply opens nothing, and the server refuses the transfer command.
    const auto server =
        m_pControlSocket ? m_pControlSocket->PeerAddress() : std::optional<std::string>();
    if (offered && server) {
        m_dataSocket.Connect(*server, offered->port);
    }
    return true;
}

bool CFtpSession::List(std::wstring /*strFolder*/, std::wstring& strListing) {
    // The bare LIST lists the server's current folder: callers change to the folder first.
    if (!OpenDataConnection()) {
        return false;
    }
    m_strListing.clear();
    if (!SendAndRead(L"LIST") || m_nReplyCode != ftp::kReplyTransferStarting) {
        m_dataSocket.Close();
        return false;
    }
    std::array<char, kReceiveBlock> block{};
    for (;;) {
        const int count = m_dataSocket.Receive(block.data(), block.size());
        if (count <= 0) {
            break;
        }
        const auto end = std::find(block.begin(), block.begin() + count, '\0');
        m_strListing += platform::text::FromAnsi(
            std::string_view(block.data(), static_cast<std::size_t>(end - block.begin())));
    }
    strListing = m_strListing;
    m_dataSocket.Close();
    ReadReply();
    return m_nReplyCode == ftp::kReplyTransferComplete;
}

bool CFtpSession::StoreFile(std::wstring strLocalPath, std::wstring strRemoteName) {
    if (!OpenDataConnection()) {
        return false;
    }
    const std::wstring remotePath = StorePath(strRemoteName);
    if (!SendAndRead(L"STOR " + remotePath) || m_nReplyCode != ftp::kReplyTransferStarting) {
        m_dataSocket.Close();
        return false;
    }
    if (!m_file.Open(platform::Device::Current().Files(), strLocalPath, File::Mode::Read)) {
        // A reset rather than an orderly close: a server must not take the upload that never
        // started for an empty file and replace the remote file with it.
        m_dataSocket.Abort();
        return AbandonTransfer(ftp::kReplyLocalFileFailed);
    }
    const BlockLoopEnd end = SendFileBlocks();
    m_dataSocket.Close();
    m_file.Close();
    ReadReply();
    if (end == BlockLoopEnd::Done) {
        return m_nReplyCode == ftp::kReplyTransferComplete;
    }
    // A cancelled or unreadable upload leaves no partial file on the server.
    SendAndRead(L"DELE " + remotePath);
    if (end == BlockLoopEnd::LocalFileFailed) {
        SetReplyCode(ftp::kReplyLocalFileFailed);
    }
    return false;
}

bool CFtpSession::RetrieveFile(std::wstring strRemoteName, std::wstring strLocalPath) {
    if (!OpenDataConnection()) {
        return false;
    }
    if (!SendAndRead(L"RETR " + strRemoteName) || m_nReplyCode != ftp::kReplyTransferStarting) {
        m_dataSocket.Close();
        return false;
    }
    const auto plan =
        ftp::PlanDownload(platform::Device::Current().Files(), strRemoteName, strLocalPath);
    if (!plan) {
        return AbandonTransfer(ftp::kReplyLocalFileFailed);
    }
    std::error_code ignored;
    if (!m_file.OpenHost(plan->temporary, File::Mode::CreateAlways)) {
        std::filesystem::remove(plan->temporary, ignored);
        return AbandonTransfer(ftp::kReplyLocalFileFailed);
    }
    const BlockLoopEnd end = ReceiveFileBlocks();
    m_dataSocket.Close();
    m_file.Close();
    ReadReply();
    if (end == BlockLoopEnd::Done && m_nReplyCode == ftp::kReplyTransferComplete) {
        // Only a complete file takes the target's place; a file of that name stays until then.
        std::error_code error;
        std::filesystem::rename(plan->temporary, plan->target, error);
        if (!error) {
            return true;
        }
        SetReplyCode(ftp::kReplyLocalFileFailed);
    } else if (end == BlockLoopEnd::LocalFileFailed) {
        SetReplyCode(ftp::kReplyLocalFileFailed);
    }
    std::filesystem::remove(plan->temporary, ignored);
    return false;
}

std::wstring CFtpSession::StorePath(const std::wstring& strRemoteName) const {
    if (m_strStoreInPlace == kTextTrue) {
        return strRemoteName;
    }
    return std::wstring(kRemoteRoot) + L"/" + strRemoteName;
}

// The server has answered the transfer command with 150 but the device side cannot take
// part: ends the data connection, reads the server's reply to the broken transfer and
// records the device's own failure code.
bool CFtpSession::AbandonTransfer(int nReplyCode) {
    m_dataSocket.Close();
    m_file.Close();
    ReadReply();
    SetReplyCode(nReplyCode);
    return false;
}

CFtpSession::BlockLoopEnd CFtpSession::SendFileBlocks() {
    std::array<char, kSendBlock> block{};
    for (;;) {
        if (ftp::TakeTransferCancelTap()) {
            return BlockLoopEnd::Cancelled;
        }
        const long count = m_file.Read(block.data(), block.size());
        if (count == 0) {
            return BlockLoopEnd::Done;
        }
        if (count < 0) {
            return BlockLoopEnd::LocalFileFailed;
        }
        const int sent = m_dataSocket.Send(block.data(), static_cast<std::size_t>(count));
        if (sent <= 0) {
            return BlockLoopEnd::Done;  // the server's final reply decides
        }
        if (sent < count) {
            m_file.Seek(sent - count, File::Origin::Current);  // read and sent again next pass
        }
    }
}

CFtpSession::BlockLoopEnd CFtpSession::ReceiveFileBlocks() {
    std::vector<char> buffer(kWriteBuffer);
    std::size_t filled = 0;
    for (;;) {
        if (ftp::TakeTransferCancelTap()) {
            return BlockLoopEnd::Cancelled;
        }
        if (buffer.size() - filled < kReceiveBlock) {
            if (!m_file.Write(buffer.data(), filled)) {
                return BlockLoopEnd::LocalFileFailed;
            }
            filled = 0;
        }
        const int count = m_dataSocket.Receive(buffer.data() + filled, kReceiveBlock);
        if (count <= 0) {
            break;  // the server's final reply decides
        }
        filled += static_cast<std::size_t>(count);
    }
    return m_file.Write(buffer.data(), filled) ? BlockLoopEnd::Done : BlockLoopEnd::LocalFileFailed;
}
