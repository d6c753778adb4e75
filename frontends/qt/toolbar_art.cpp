// The command bar's strip of ten images, each in a 16 x 16 unit square.

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "art_painters.h"
#include "res/toolbar_images.h"

namespace qtfront::art {

namespace {

const QColor kGreen(0x2e, 0x9e, 0x44);
const QColor kRed(0xd2, 0x3a, 0x2a);
const QColor kBlue(0x2f, 0x7d, 0xd1);

void Handheld(QPainter& painter) {
    painter.setPen(QPen(QColor(0x22, 0x26, 0x2e), 0.8));
    painter.setBrush(QColor(0x3c, 0x44, 0x50));
    painter.drawRoundedRect(QRectF(3.5, 0.8, 9.0, 14.4), 1.6, 1.6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x9f, 0xd3, 0xff));
    painter.drawRect(QRectF(4.8, 2.3, 6.4, 7.6));
    painter.setBrush(QColor(0xc0, 0xc6, 0xcf));
    painter.drawEllipse(QPointF(8.0, 12.4), 1.3, 1.3);
}

QPainterPath CloudPath(double dx, double dy, double size) {
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addEllipse(QPointF(dx + 4.6 * size, dy + 9.2 * size), 3.2 * size, 3.2 * size);
    cloud.addEllipse(QPointF(dx + 8.6 * size, dy + 7.0 * size), 4.0 * size, 4.0 * size);
    cloud.addEllipse(QPointF(dx + 12.4 * size, dy + 9.6 * size), 2.7 * size, 2.7 * size);
    cloud.addRect(QRectF(dx + 4.6 * size, dy + 8.6 * size, 7.8 * size, 3.7 * size));
    return cloud.simplified();
}

void Cloud(QPainter& painter) {
    painter.setPen(QPen(QColor(0x1f, 0x5f, 0xa6), 0.8));
    painter.setBrush(QColor(0x3d, 0x8d, 0xe0));
    painter.drawPath(CloudPath(-0.5, 0.5, 1.0));
}

void Tray(QPainter& painter) {
    painter.setPen(QPen(QColor(0x55, 0x5c, 0x66), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({{2.0, 10.0}, {2.0, 14.2}, {14.0, 14.2}, {14.0, 10.0}}));
}

// A thick arrow along x = 8 from `from` to `to` (pointing at `to`).
void VerticalArrow(QPainter& painter, double from, double to) {
    const double dir = to < from ? -1.0 : 1.0;
    QPolygonF arrow({{6.5, from},
                     {9.5, from},
                     {9.5, to - dir * 4.0},
                     {12.5, to - dir * 4.0},
                     {8.0, to},
                     {3.5, to - dir * 4.0},
                     {6.5, to - dir * 4.0}});
    painter.setPen(QPen(kGreen.darker(140), 0.7));
    painter.setBrush(kGreen);
    painter.drawPolygon(arrow);
}

void Upload(QPainter& painter) {
    Tray(painter);
    VerticalArrow(painter, 12.0, 1.0);
}

void Download(QPainter& painter) {
    Tray(painter);
    VerticalArrow(painter, 1.0, 12.0);
}

void Badge(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGreen);
    painter.drawEllipse(QPointF(11.8, 11.8), 3.8, 3.8);
    painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(11.8, 9.7), QPointF(11.8, 13.9));
    painter.drawLine(QPointF(9.7, 11.8), QPointF(13.9, 11.8));
}

void SmallFolder(QPainter& painter) {
    painter.save();
    painter.translate(0.0, -1.0);
    painter.scale(0.85, 0.85);
    Folder(painter);
    painter.restore();
}

void NewFolder(QPainter& painter) {
    SmallFolder(painter);
    Badge(painter);
}

void Delete(QPainter& painter) {
    painter.setPen(QPen(kRed, 3.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    painter.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void Share(QPainter& painter) {
    const QColor purple(0x7b, 0x4f, 0xc9);
    painter.setPen(QPen(purple, 1.4));
    painter.drawLine(QPointF(4.0, 8.0), QPointF(12.0, 3.6));
    painter.drawLine(QPointF(4.0, 8.0), QPointF(12.0, 12.4));
    painter.setPen(Qt::NoPen);
    painter.setBrush(purple);
    for (const QPointF& centre : {QPointF(4.0, 8.0), QPointF(12.0, 3.6), QPointF(12.0, 12.4)}) {
        painter.drawEllipse(centre, 2.4, 2.4);
    }
}

void Help(QPainter& painter) {
    painter.setPen(QPen(kBlue.darker(130), 0.8));
    painter.setBrush(kBlue);
    painter.drawEllipse(QPointF(8.0, 8.0), 7.0, 7.0);
    painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    QPainterPath mark;
    mark.moveTo(5.6, 6.0);
    mark.cubicTo(5.6, 3.2, 10.6, 3.2, 10.4, 6.0);
    mark.cubicTo(10.3, 7.6, 8.0, 7.8, 8.0, 9.8);
    painter.drawPath(mark);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(8.0, 12.2), 1.1, 1.1);
}

void Move(QPainter& painter) {
    SmallFolder(painter);
    const QColor orange(0xe0, 0x7b, 0x00);
    QPolygonF arrow({{5.5, 10.4},
                     {11.0, 10.4},
                     {11.0, 8.2},
                     {15.4, 11.8},
                     {11.0, 15.4},
                     {11.0, 13.2},
                     {5.5, 13.2}});
    painter.setPen(QPen(orange.darker(140), 0.7));
    painter.setBrush(orange);
    painter.drawPolygon(arrow);
}

void Exit(QPainter& painter) {
    const QColor red(0xc6, 0x28, 0x28);
    painter.setPen(QPen(red, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    // An arc open at the top, and the bar through the gap.
    painter.drawArc(QRectF(2.5, 3.0, 11.0, 11.0), 120 * 16, 300 * 16);
    painter.drawLine(QPointF(8.0, 1.5), QPointF(8.0, 8.0));
}

}  // namespace

bool ToolbarImage(QPainter& painter, int index) {
    static constexpr struct {
        int image;
        void (*draw)(QPainter&);
    } kImages[] = {
        {IMG_MY_DEVICE, Handheld},
        {IMG_STOWBOX, Cloud},
        {IMG_UPLOAD, Upload},
        {IMG_DOWNLOAD, Download},
        {IMG_NEW_FOLDER, NewFolder},
        {IMG_DELETE, Delete},
        {IMG_SHARE, Share},
        {IMG_HELP, Help},
        {IMG_MOVE, Move},
        {IMG_EXIT, Exit},
    };
    for (const auto& entry : kImages) {
        if (entry.image == index) {
            entry.draw(painter);
            return true;
        }
    }
    return false;
}

}  // namespace qtfront::art
