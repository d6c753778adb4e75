#pragma once
// Counts the bytes of one file transfer and tells the user interface how far it has come: at
// its start, then at most every kReportInterval, and at its end however the transfer ends.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/transfer_progress.h"

namespace ftp {

class TransferMeter {
  public:
    // Often enough for a smooth bar, rare enough that the block loops stay cheap.
    static constexpr std::chrono::milliseconds kReportInterval{20};

    TransferMeter(std::wstring strFileName, std::optional<std::uint64_t> fileSize);
    ~TransferMeter();
    TransferMeter(const TransferMeter&) = delete;
    TransferMeter& operator=(const TransferMeter&) = delete;

    // Once per block: counts the bytes and reports when the last report is old enough.
    void Add(std::size_t nBytes);
    std::uint64_t BytesDone() const { return m_progress.bytesDone; }

  private:
    void Report();

    platform::ui::TransferProgress m_progress;
    std::chrono::steady_clock::time_point m_lastReport;
};

}  // namespace ftp
