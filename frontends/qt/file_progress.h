#pragma once
// What the progress bar tells about the file being transferred: how much of it is done, the
// rate over about the last second, and the words for both.

#include <QString>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

#include "platform/ui/transfer_progress.h"

namespace qtfront {

// "999 B", "12.3 KB", "190.0 MB", "1.5 GB", in units of 1024 as the file list counts.
QString ByteCountText(std::uint64_t bytes);

class FileProgress {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kRateWindow{1000};

    // A report about the file; a report about another file starts afresh.
    void Update(const platform::ui::TransferProgress& progress, Clock::time_point now);

    // The part of the file done, 0 to 1; 0 while its size is not known.
    double Fraction() const;
    const QString& FileName() const { return m_name; }
    // "12.3 MB of 190.0 MB  8.1 MB/s"; without "of" and the size while it is not known, and
    // without the rate until two reports came.
    QString AmountText() const;

  private:
    struct Sample {
        Clock::time_point time;
        std::uint64_t bytes;
    };
    std::optional<double> BytesPerSecond() const;

    QString m_name;
    std::uint64_t m_done = 0;
    std::optional<std::uint64_t> m_size;
    std::deque<Sample> m_samples;  // the oldest at or just before the rate window's start
};

}  // namespace qtfront
