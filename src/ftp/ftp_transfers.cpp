// Passive-mode data transfers: the data connection, LIST, STOR and RETR.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "ftp/announced_size.h"
#include "ftp/cancel_tap.h"
#include "ftp/data_stream.h"
#include "ftp/download_target.h"
#include "ftp/ftp_session.h"
#include "ftp/pasv_reply.h"
#include "ftp/remote_root.h"
#include "ftp/transfer_blocks.h"
#include "ftp/transfer_meter.h"
#include "platform/device.h"

namespace {

using platform::fs::File;

using ftp::kReadAhead;
using ftp::kReceiveBlock;
using ftp::kSendBlock;
using ftp::kWriteBuffer;
// A listing beyond this is no folder a person can read: it fails as a refused LIST does.
constexpr std::size_t kMaxListingBytes = 64 * 1024 * 1024;

// The size of an open file, read from its end (nothing when it has none to seek to). False
// when the file cannot be put back at its start to be read whole.
bool MeasureOpenFile(File& file, std::optional<std::uint64_t>& size) {
    const long long end = file.Seek(0, File::Origin::End);
    size = end >= 0 ? std::optional<std::uint64_t>(end) : std::nullopt;
    return file.Seek(0, File::Origin::Begin) == 0;
}

}  // namespace

bool CFtpSession::OpenTransfer(std::wstring_view strVerb, const std::wstring& strName,
                               const std::wstring& strProbe, int& nProbeCode,
                               const std::function<void()>& sendEarly) {
    if (!IsSendable(strName)) {
        return RefuseName();
    }
    m_bDataConnected = false;
    PrepareToSend();
    if (!m_pControlSocket || !m_bConnected) {
        // No server to transfer with (also after the control connection was lost).
        SetReplyCode(ftp::kReplyConnectionLost);
        return false;
    }
    // Without TYPE I a standard server transfers in ASCII mode and alters binary files. The
    // commands leave together: none waits for another's answer, so they cost one round trip.
    // The transfer command goes along only when there is a data socket to answer it with.
    const bool bDataSocket = m_dataSocket.Create(platform::Device::Current().Net());
    std::vector<std::wstring> commands{L"TYPE I"};
    if (!strProbe.empty()) {
        commands.push_back(strProbe);
    }
    commands.push_back(L"PASV ");
    if (bDataSocket) {
        commands.push_back(std::wstring(strVerb) + strName);
    }
    const std::vector<std::wstring> replies =
        bDataSocket ? ExchangePipelinedLeavingLast(commands) : ExchangePipelined(commands);
    if (!strProbe.empty()) {
        nProbeCode = ftp::ReplyCodeOf(replies[1]);
    }
    if (!bDataSocket) {
        SetReplyCode(ftp::kReplyDataSocketFailed);
        return false;
    }
    ConnectDataSocket(replies.back());
    if (sendEarly && m_bDataConnected && !m_bDataProtected) {
        sendEarly();
    }
    ReadReply();
    if (!ftp::IsTransferStarting(m_nReplyCode)) {
        m_dataSocket.Close();
        return false;
    }
    // A data connection that could not be protected counts as one that never came about.
    if (!m_bDataConnected || !ProtectDataConnection()) {
        // Nothing went through it, so nothing half-stored needs removing.
        EndBrokenTransfer();
        return false;
    }
    return true;
}

void CFtpSession::ConnectDataSocket(const std::wstring& strPasvReply) {
    if (m_bConnectionLost) {
        return;
    }
    // Data goes only to the server of the control connection, whatever address the reply
    // names. A malformed reply opens nothing, and the server refuses the transfer command.
    const auto offered = ftp::ParsePasvReply(strPasvReply);
    const auto server =
        m_pControlSocket ? m_pControlSocket->PeerAddress() : std::optional<std::string>();
    if (offered && server) {
        m_bDataConnected = m_dataSocket.Connect(*server, offered->port);
    }
}

void CFtpSession::EndDataTransfer(BlockLoopEnd end) {
    if (end == BlockLoopEnd::Broken) {
        m_dataSocket.Abort();
    } else {
        m_dataSocket.Close();
    }
    ReadReply();
}

void CFtpSession::RecordUnfinishedEnd(BlockLoopEnd end) {
    if (end == BlockLoopEnd::LocalFileFailed) {
        SetReplyCode(ftp::kReplyLocalFileFailed);
    } else if (end == BlockLoopEnd::Broken) {
        SetReplyCode(ftp::kReplyTransferAborted);
    }
}

bool CFtpSession::List(std::wstring /*strFolder*/, std::wstring& strListing) {
    // The bare LIST lists the server's current folder: callers change to the folder first.
    int nNoProbe = 0;
    m_strListing.clear();
    if (!OpenTransfer(L"LIST", {}, {}, nNoProbe)) {
        return false;
    }
    // A listing counts only when the data stream ended in order: a part of a folder is not
    // shown as the whole of it.
    std::size_t total = 0;
    std::array<char, kReceiveBlock> block{};
    ftp::DataReader reader(m_dataSocket);
    // Decoded once whole: a UTF-8 character may span two blocks.
    std::string bytes;
    for (;;) {
        const int count = reader.Receive(block.data(), block.size());
        if (count == 0) {
            break;
        }
        total += static_cast<std::size_t>(std::max(count, 0));
        if (count < 0 || total > kMaxListingBytes) {
            EndBrokenTransfer();
            return false;
        }
        const auto end = std::find(block.begin(), block.begin() + count, '\0');
        bytes.append(block.data(), static_cast<std::size_t>(end - block.begin()));
    }
    m_strListing = DecodeText(bytes);
    strListing = m_strListing;
    m_dataSocket.Close();
    ReadReply();
    return m_nReplyCode == ftp::kReplyTransferComplete;
}

bool CFtpSession::StoreFile(std::wstring strLocalPath, std::wstring strRemoteName,
                            PriorRemoteFile prior, StoreTarget target) {
    const std::wstring remotePath = StorePath(strRemoteName, target);
    const std::wstring probe =
        prior == PriorRemoteFile::Unknown ? L"SIZE " + remotePath : std::wstring();
    std::optional<std::uint64_t> size;
    const bool bReadable =
        m_file.Open(platform::Device::Current().Files(), strLocalPath, File::Mode::Read) &&
        MeasureOpenFile(m_file, size);
    // A small file goes out as soon as its data connection is open, while the server's answer
    // to the STOR is on its way: the upload then costs one round trip less. A refused STOR
    // takes nothing of it.
    std::optional<ftp::TransferMeter> meter;
    BlockLoopEnd end = BlockLoopEnd::Done;
    const auto sendBlocks = [&] {
        meter.emplace(strRemoteName, size);
        end = SendFileBlocks(*meter);
    };
    const auto sendEarly = [&] {
        sendBlocks();
        if (end == BlockLoopEnd::Done) {
            m_dataSocket.Close();  // the orderly end goes along, as the whole file went out
        }
    };
    const bool bEarly = bReadable && size && *size <= ftp::kEarlyUpload;
    int nSizeCode = 0;
    if (!OpenTransfer(L"STOR ", remotePath, probe, nSizeCode,
                      bEarly ? std::function<void()>(sendEarly) : nullptr)) {
        meter.reset();
        m_file.Close();
        return false;
    }
    if (prior == PriorRemoteFile::Unknown) {
        // Only a plain "no such file" lets a failed upload remove what it left; a server
        // that cannot tell keeps whatever is there.
        prior =
            nSizeCode == ftp::kReplyNoSuchFile ? PriorRemoteFile::Absent : PriorRemoteFile::Present;
    }
    if (!bReadable) {
        // A reset rather than an orderly close: a server must not take the upload that never
        // started for an empty file and replace the remote file with it.
        m_dataSocket.Abort();
        return AbandonTransfer(ftp::kReplyLocalFileFailed);
    }
    if (!meter) {
        sendBlocks();
    }
    meter.reset();
    m_file.Close();
    EndDataTransfer(end);
    if (end == BlockLoopEnd::Done) {
        return m_nReplyCode == ftp::kReplyTransferComplete;
    }
    // A cancelled, unreadable or broken upload leaves no partial file on the server; a file
    // that was there before stays as the server kept it, since a DELE would take the only
    // copy.
    if (prior == PriorRemoteFile::Absent) {
        SendAndRead(L"DELE " + remotePath);
    }
    RecordUnfinishedEnd(end);
    return false;
}

bool CFtpSession::RetrieveFile(std::wstring strRemoteName, std::wstring strLocalPath) {
    int nNoProbe = 0;
    if (!OpenTransfer(L"RETR ", strRemoteName, {}, nNoProbe)) {
        return false;
    }
    const std::optional<std::uint64_t> announced = ftp::AnnouncedSize(m_strReplyText);
    // Only a complete file takes the target's place; a file of that name stays until then.
    platform::fs::StagedFile file;
    if (!ftp::MayDownloadTo(strRemoteName, strLocalPath) ||
        !file.Open(platform::Device::Current().Files(), strLocalPath)) {
        return AbandonTransfer(ftp::kReplyLocalFileFailed);
    }
    std::uint64_t received = 0;
    BlockLoopEnd end = BlockLoopEnd::Done;
    {
        ftp::TransferMeter meter(strRemoteName, announced);
        end = ReceiveFileBlocks(file, meter);
        received = meter.BytesDone();
    }
    EndDataTransfer(end);
    if (end == BlockLoopEnd::Done && announced && received != *announced) {
        // The data ended in order but short (or long): whatever the final reply says, this is
        // not the file the server announced.
        end = BlockLoopEnd::Broken;
    }
    // Only an orderly end of the data and 226 make a whole file.
    if (end == BlockLoopEnd::Done && m_nReplyCode == ftp::kReplyTransferComplete) {
        if (file.Commit()) {
            return true;
        }
        SetReplyCode(ftp::kReplyLocalFileFailed);
        return false;
    }
    RecordUnfinishedEnd(end);
    return false;
}

std::wstring CFtpSession::StorePath(const std::wstring& strRemoteName, StoreTarget target) {
    if (target == StoreTarget::CurrentFolder) {
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

bool CFtpSession::RefuseName() {
    m_strReplyText.clear();
    SetReplyCode(ftp::kReplyCommandRefused);
    return false;
}

void CFtpSession::EndBrokenTransfer() {
    m_dataSocket.Abort();
    ReadReply();
    SetReplyCode(ftp::kReplyTransferAborted);
}

CFtpSession::BlockLoopEnd CFtpSession::SendFileBlocks(ftp::TransferMeter& meter) {
    // The file is read ahead and sent in large pieces; the blocks and their cancel checks stay
    // those of one 256-byte read per block.
    std::vector<char> buffer(kReadAhead);
    ftp::DataWriter writer(m_dataSocket);
    std::size_t begin = 0;  // the next block starts here
    std::size_t end = 0;    // read from the file up to here
    bool atEnd = false;
    bool readFailed = false;
    for (;;) {
        if (ftp::TakeTransferCancelTap()) {
            writer.Flush();  // the blocks before the tap went out, as they would one by one
            return BlockLoopEnd::Cancelled;
        }
        if (end - begin < kSendBlock && !atEnd && !readFailed) {
            std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(begin),
                      buffer.begin() + static_cast<std::ptrdiff_t>(end), buffer.begin());
            end -= begin;
            begin = 0;
            const long count = m_file.Read(buffer.data() + end, buffer.size() - end);
            atEnd = count == 0;
            readFailed = count < 0;
            end += count > 0 ? static_cast<std::size_t>(count) : 0;
        }
        const std::size_t count = std::min(kSendBlock, end - begin);
        if (count == 0) {
            if (!writer.Flush()) {
                return BlockLoopEnd::Broken;
            }
            // What was read before a failing read still went out.
            return readFailed ? BlockLoopEnd::LocalFileFailed : BlockLoopEnd::Done;
        }
        if (!writer.Send(buffer.data() + begin, count)) {
            return BlockLoopEnd::Broken;
        }
        begin += count;
        meter.Add(count);
    }
}

CFtpSession::BlockLoopEnd CFtpSession::ReceiveFileBlocks(platform::fs::StagedFile& file,
                                                         ftp::TransferMeter& meter) {
    std::vector<char> buffer(kWriteBuffer);
    std::size_t filled = 0;
    ftp::DataReader reader(m_dataSocket);
    for (;;) {
        if (ftp::TakeTransferCancelTap()) {
            return BlockLoopEnd::Cancelled;
        }
        if (buffer.size() - filled < kReceiveBlock) {
            if (!file.Write(buffer.data(), filled)) {
                return BlockLoopEnd::LocalFileFailed;
            }
            filled = 0;
        }
        const int count = reader.Receive(buffer.data() + filled, kReceiveBlock);
        if (count < 0) {
            return BlockLoopEnd::Broken;  // reset or timed out: not the whole file
        }
        if (count == 0) {
            break;  // the server ended the data in order
        }
        filled += static_cast<std::size_t>(count);
        meter.Add(static_cast<std::size_t>(count));
    }
    return file.Write(buffer.data(), filled) ? BlockLoopEnd::Done : BlockLoopEnd::LocalFileFailed;
}
