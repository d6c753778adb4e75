// The folder, file and application icons, in a 16 x 16 unit square.

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "art_painters.h"

namespace qtfront::art {

void Folder(QPainter& painter) {
    const QColor outline(0x8a, 0x65, 0x12);
    QPainterPath back;
    back.moveTo(1.0, 2.8);
    back.lineTo(6.0, 2.8);
    back.lineTo(7.6, 4.4);
    back.lineTo(15.0, 4.4);
    back.lineTo(15.0, 13.6);
    back.lineTo(1.0, 13.6);
    back.closeSubpath();
    painter.setPen(QPen(outline, 0.8));
    painter.setBrush(QColor(0xd9, 0xa0, 0x1e));
    painter.drawPath(back);

    QPainterPath front;
    front.moveTo(1.0, 13.6);
    front.lineTo(2.4, 6.4);
    front.lineTo(15.6, 6.4);
    front.lineTo(15.0, 13.6);
    front.closeSubpath();
    QLinearGradient fill(0, 6.4, 0, 13.6);
    fill.setColorAt(0, QColor(0xff, 0xe0, 0x7a));
    fill.setColorAt(1, QColor(0xf2, 0xb2, 0x1c));
    painter.setBrush(fill);
    painter.drawPath(front);
}

void File(QPainter& painter) {
    const QColor outline(0x5a, 0x62, 0x70);
    QPainterPath page;
    page.moveTo(3.0, 1.0);
    page.lineTo(10.0, 1.0);
    page.lineTo(13.0, 4.0);
    page.lineTo(13.0, 15.0);
    page.lineTo(3.0, 15.0);
    page.closeSubpath();
    painter.setPen(QPen(outline, 0.8));
    painter.setBrush(Qt::white);
    painter.drawPath(page);

    QPainterPath fold;
    fold.moveTo(10.0, 1.0);
    fold.lineTo(10.0, 4.0);
    fold.lineTo(13.0, 4.0);
    fold.closeSubpath();
    painter.setBrush(QColor(0xdf, 0xe4, 0xea));
    painter.drawPath(fold);

    painter.setPen(QPen(QColor(0x8f, 0xa0, 0xb5), 0.8));
    for (double y : {6.5, 8.5, 10.5, 12.5}) {
        painter.drawLine(QPointF(5.0, y), QPointF(y < 7 ? 9.0 : 11.0, y));
    }
}

void Application(QPainter& painter) {
    // A storage box with its lid.
    const QColor outline(0x1c, 0x4f, 0x86);
    painter.setPen(QPen(outline, 0.8));
    QLinearGradient body(0, 6, 0, 15);
    body.setColorAt(0, QColor(0x3b, 0x8c, 0xe0));
    body.setColorAt(1, QColor(0x22, 0x63, 0xb0));
    painter.setBrush(body);
    painter.drawRect(QRectF(2.2, 6.2, 11.6, 8.4));
    painter.setBrush(QColor(0x6f, 0xb1, 0xf0));
    painter.drawRect(QRectF(1.2, 3.4, 13.6, 2.8));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(5.8, 8.2, 4.4, 1.6), 0.6, 0.6);
}

}  // namespace qtfront::art
