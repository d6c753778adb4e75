// The background pictures of the windows, drawn into a rectangle in device pixels.

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QStringList>

#include "art_painters.h"

namespace qtfront::art {

namespace {

QFont PictureFont(double pixels, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(static_cast<int>(pixels));
    font.setBold(bold);
    return font;
}

void Gradient(QPainter& painter, const QRectF& area, QColor top, QColor bottom) {
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.fillRect(area, fill);
}

// The product's mark: the box icon with the name below it, centred on `centreX`.
void Logo(QPainter& painter, double centreX, double top, double iconSize) {
    painter.save();
    painter.translate(centreX - iconSize / 2, top);
    painter.scale(iconSize / 16.0, iconSize / 16.0);
    Application(painter);
    painter.restore();

    painter.setPen(QColor(0x1c, 0x4f, 0x86));
    painter.setFont(PictureFont(iconSize * 0.45, true));
    const QRectF name(centreX - 80, top + iconSize + 2, 160, iconSize * 0.6);
    painter.drawText(name, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Stowbox"));
}

}  // namespace

void LoginBackground(QPainter& painter, const QRectF& area) {
    Gradient(painter, area, QColor(0xe4, 0xef, 0xfb), Qt::white);
    // A soft band behind the fields.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.drawRoundedRect(QRectF(area.left() + 3, area.top() + 6, area.width() - 6, 110), 6, 6);

    const double centre = area.center().x();
    Logo(painter, centre, area.top() + 136, 44);
    painter.setPen(QColor(0x5a, 0x67, 0x78));
    painter.setFont(PictureFont(9));
    painter.drawText(QRectF(area.left(), area.top() + 206, area.width(), 14), Qt::AlignHCenter,
                     QStringLiteral("Your files, on the device and online"));
}

void NewFolderBackground(QPainter& painter, const QRectF& area) {
    Gradient(painter, area, QColor(0xf4, 0xf8, 0xec), Qt::white);
    painter.save();
    painter.setOpacity(0.35);
    const double size = 64;
    painter.translate(area.center().x() - size / 2, area.top() + 96);
    painter.scale(size / 16.0, size / 16.0);
    Folder(painter);
    painter.restore();
}

void MainBackground(QPainter& painter, const QRectF& area) {
    Gradient(painter, area, QColor(0xee, 0xf2, 0xf7), QColor(0xd3, 0xdd, 0xea));
}

void ShareBackground(QPainter& painter, const QRectF& area) {
    Gradient(painter, area, QColor(0xf1, 0xec, 0xfa), Qt::white);
}

void PlainBackground(QPainter& painter, const QRectF& area) {
    painter.fillRect(area, QColor(0xf0, 0xf0, 0xf0));
}

void Captions(QPainter& painter, std::span<const Caption> captions) {
    const QFont font = PictureFont(10);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(QColor(0x1f, 0x2d, 0x3d));
    for (const Caption& caption : captions) {
        const QRectF& field = caption.field;
        if (field.left() >= metrics.horizontalAdvance(caption.text) + 6) {
            // To the left of the field, right-aligned against it.
            painter.drawText(QRectF(0, field.top(), field.left() - 4, field.height()),
                             Qt::AlignRight | Qt::AlignVCenter, caption.text);
        } else {
            // No room beside it: above it.
            painter.drawText(QRectF(field.left(), field.top() - 13, field.width() + 60, 13),
                             Qt::AlignLeft | Qt::AlignBottom, caption.text);
        }
    }
}

}  // namespace qtfront::art
