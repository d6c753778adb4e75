#include "ftp/transfer_meter.h"

#include <utility>

#include "platform/ui/toolkit.h"

namespace ftp {

TransferMeter::TransferMeter(std::wstring strFileName, std::optional<std::uint64_t> fileSize) {
    m_progress.fileName = std::move(strFileName);
    m_progress.fileSize = fileSize;
    Report();
}

TransferMeter::~TransferMeter() {
    m_progress.running = false;
    platform::ui::ReportTransferProgress(m_progress);
}

void TransferMeter::Add(std::size_t nBytes) {
    m_progress.bytesDone += nBytes;
    // A clock read costs far less than the block's own system call; a report does not.
    if (std::chrono::steady_clock::now() - m_lastReport >= kReportInterval) {
        Report();
    }
}

void TransferMeter::Report() {
    m_lastReport = std::chrono::steady_clock::now();
    platform::ui::ReportTransferProgress(m_progress);
}

}  // namespace ftp
