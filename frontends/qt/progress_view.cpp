#include "progress_view.h"

#include <QPainter>
#include <QStyleOptionProgressBar>
#include <algorithm>
#include <cmath>

#include "device_metrics.h"

namespace qtfront {
namespace {

// Parts of a step the fine fill is drawn in.
constexpr int kFineSteps = 1000;
constexpr int kTextPointSize = 6;
constexpr int kTextMargin = 2;  // device pixels

}  // namespace

ProgressView::ProgressView(platform::ui::ProgressBar& bar, QWidget& parent,
                           const ViewContext& context)
    : QProgressBar(&parent), m_bar(&bar), m_scale(context.scale) {
    setGeometry(context.scale.ToWidget(bar.ScreenRect()));
    setTextVisible(false);
    // An idle bar still shows as a bar: a dark frame around an empty grey track.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(0xD8, 0xD8, 0xD8));
    colours.setColor(QPalette::Window, QColor(0xD8, 0xD8, 0xD8));
    colours.setColor(QPalette::Dark, QColor(0x40, 0x40, 0x40));
    setPalette(colours);
    Render();
    bar.SetObserver([this](const platform::ui::ControlChange&) { Render(); });
}

void ProgressView::Render() {
    const int lower = std::min(m_bar->Lower(), m_bar->Upper());
    // An empty range would make Qt's bar a busy indicator; the device shows it empty.
    const int upper = std::max({m_bar->Lower(), m_bar->Upper(), lower + 1});
    setRange(lower, upper);
    // The device draws a position outside the range at the nearer end.
    setValue(std::clamp(m_bar->GetPos(), lower, upper));
    ApplyState(*this, *m_bar);
}

void ProgressView::Unbind(bool modelAlive) {
    if (m_bar != nullptr && modelAlive) {
        m_bar->SetObserver(nullptr);
    }
    m_bar = nullptr;
}

void ProgressView::ShowTransfer(const platform::ui::TransferProgress& progress) {
    if (!progress.running) {
        m_transfer.reset();
    } else {
        if (!m_transfer) {
            m_transfer.emplace();
        }
        m_transfer->Update(progress, FileProgress::Clock::now());
    }
    update();
}

double ProgressView::FinePosition() const {
    const double fraction = m_transfer ? m_transfer->Fraction() : 0.0;
    return std::clamp(value() + fraction, static_cast<double>(minimum()),
                      static_cast<double>(maximum()));
}

QString ProgressView::TransferText() const {
    if (!m_transfer) {
        return {};
    }
    return m_transfer->FileName() + QStringLiteral("  ") + m_transfer->AmountText();
}

void ProgressView::paintEvent(QPaintEvent* event) {
    if (!m_transfer) {
        QProgressBar::paintEvent(event);
        return;
    }
    // The same bar, drawn in finer parts so that the current step fills as the file comes.
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    option.minimum = minimum() * kFineSteps;
    option.maximum = maximum() * kFineSteps;
    option.progress = static_cast<int>(std::lround(FinePosition() * kFineSteps));
    QPainter painter(this);
    style()->drawControl(QStyle::CE_ProgressBar, &option, &painter, this);
    const double share = static_cast<double>(option.progress - option.minimum) /
                         static_cast<double>(option.maximum - option.minimum);
    PaintTransferText(painter, static_cast<int>(share * width()));
}

void ProgressView::PaintTransferText(QPainter& painter, int filledWidth) const {
    painter.setFont(DeviceFont(m_scale, kTextPointSize));
    const QRect area = rect().adjusted(m_scale.Px(kTextMargin), 0, -m_scale.Px(kTextMargin), 0);
    const QFontMetrics metrics(painter.font());
    const QString amounts = m_transfer->AmountText();
    // The amounts matter most; the name gets what room is left, shortened in the middle so
    // that its start and its extension stay.
    const int nameRoom = area.width() - metrics.horizontalAdvance(amounts + QStringLiteral("  "));
    const QString name =
        metrics.elidedText(m_transfer->FileName(), Qt::ElideMiddle, std::max(nameRoom, 0));
    const QString amountsShown = metrics.elidedText(amounts, Qt::ElideRight, area.width());
    // Dark on the track, light on the fill, so the text reads across the bar's edge.
    const QRect filled(0, 0, filledWidth, height());
    const std::pair<QColor, QRegion> parts[] = {
        {palette().color(QPalette::WindowText), QRegion(rect()).subtracted(filled)},
        {palette().color(QPalette::HighlightedText), QRegion(filled)}};
    for (const auto& [colour, region] : parts) {
        painter.setClipRegion(region);
        painter.setPen(colour);
        painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft, name);
        painter.drawText(area, Qt::AlignVCenter | Qt::AlignRight, amountsShown);
    }
}

}  // namespace qtfront
