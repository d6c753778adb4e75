#include "file_progress.h"

#include <algorithm>
#include <array>

namespace qtfront {

QString ByteCountText(std::uint64_t bytes) {
    if (bytes < 1024) {
        return QStringLiteral("%1 B").arg(bytes);
    }
    constexpr std::array<const char*, 3> kUnits = {"KB", "MB", "GB"};
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    // 1023.95 KB would print as "1024.0 KB": it is 1.0 MB.
    while (value >= 1023.95 && unit + 1 < kUnits.size()) {
        value /= 1024.0;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(kUnits[unit]));
}

void FileProgress::Update(const platform::ui::TransferProgress& progress, Clock::time_point now) {
    const QString name = QString::fromStdWString(progress.fileName);
    if (name != m_name || progress.bytesDone < m_done) {
        m_samples.clear();
    }
    m_name = name;
    m_done = progress.bytesDone;
    m_size = progress.fileSize;
    m_samples.push_back({now, m_done});
    // Keep one sample at or before the window's start, so the rate spans the whole window.
    while (m_samples.size() > 2 && now - m_samples[1].time >= kRateWindow) {
        m_samples.pop_front();
    }
}

double FileProgress::Fraction() const {
    if (!m_size || *m_size == 0) {
        return 0.0;
    }
    return std::clamp(static_cast<double>(m_done) / static_cast<double>(*m_size), 0.0, 1.0);
}

std::optional<double> FileProgress::BytesPerSecond() const {
    if (m_samples.size() < 2) {
        return std::nullopt;
    }
    const Sample& first = m_samples.front();
    const Sample& last = m_samples.back();
    const std::chrono::duration<double> span = last.time - first.time;
    if (span.count() <= 0.0) {
        return std::nullopt;
    }
    return static_cast<double>(last.bytes - first.bytes) / span.count();
}

QString FileProgress::AmountText() const {
    QString text = ByteCountText(m_done);
    if (m_size) {
        text += QStringLiteral(" of ") + ByteCountText(*m_size);
    }
    if (const auto rate = BytesPerSecond()) {
        text += QStringLiteral("  ") + ByteCountText(static_cast<std::uint64_t>(*rate)) +
                QStringLiteral("/s");
    }
    return text;
}

}  // namespace qtfront
