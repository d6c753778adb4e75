#include "title_strip.h"

#include <QLinearGradient>
#include <QPainter>

#include "device_metrics.h"

namespace qtfront {

using platform::ui::kScreenWidth;
using platform::ui::kTitleStripHeight;

TitleStrip::TitleStrip(QWidget& parent, Scale scale, QPixmap icon)
    : QWidget(&parent), m_scale(scale), m_icon(std::move(icon)) {
    setGeometry(scale.ToWidget({0, 0, kScreenWidth, kTitleStripHeight}));
}

void TitleStrip::SetTitle(const QString& title) {
    if (title != m_title) {
        m_title = title;
        update();
    }
}

void TitleStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, QColor(0x1f, 0x5f, 0xa6));
    fill.setColorAt(1, QColor(0x0f, 0x3c, 0x73));
    painter.fillRect(rect(), fill);
    const int iconTop = (height() - m_icon.height()) / 2;
    painter.drawPixmap(m_scale.Px(4), iconTop, m_icon);
    painter.setPen(Qt::white);
    painter.setFont(DeviceFont(m_scale, 10, true));
    const QRect text = rect().adjusted(m_scale.Px(26), 0, -m_scale.Px(4), 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(m_title, Qt::ElideRight, text.width()));
}

}  // namespace qtfront
