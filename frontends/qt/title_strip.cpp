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

void TitleStrip::SetProtected(bool isProtected) {
    if (isProtected != m_protected) {
        m_protected = isProtected;
        update();
    }
}

namespace {

// A padlock of device pixels: a shackle over a body, drawn right-aligned in `area`.
void PaintLock(QPainter& painter, const Scale& scale, const QRect& area) {
    const int width = scale.Px(8);
    const int bodyHeight = scale.Px(6);
    const QRect body(area.right() - width, area.center().y() - scale.Px(1), width, bodyHeight);
    const QRect shackle(body.left() + scale.Px(2), body.top() - scale.Px(4), width - scale.Px(4),
                        scale.Px(8));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, scale.Px(1)));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(shackle, 0, 180 * 16);
    painter.fillRect(body, Qt::white);
    painter.restore();
}

}  // namespace

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
    QRect text = rect().adjusted(m_scale.Px(26), 0, -m_scale.Px(4), 0);
    if (m_protected) {
        PaintLock(painter, m_scale, text);
        text.adjust(0, 0, -m_scale.Px(12), 0);
    }
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(m_title, Qt::ElideRight, text.width()));
}

}  // namespace qtfront
