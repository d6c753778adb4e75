#include "device_screen.h"

#include <QCloseEvent>
#include <QPainter>

#include "platform/ui/geometry.h"

namespace qtfront {

DeviceScreen::DeviceScreen(Scale scale) : QWidget(nullptr) {
    setFixedSize(scale.Px(platform::ui::kScreenWidth), scale.Px(platform::ui::kScreenHeight));
    setWindowTitle(QStringLiteral("Stowbox"));
}

void DeviceScreen::closeEvent(QCloseEvent* event) {
    // The program ends its windows itself, innermost first; the screen goes with the last.
    event->ignore();
    if (onCloseRequested) {
        onCloseRequested();
    }
}

void DeviceScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x20, 0x24, 0x2a));
}

}  // namespace qtfront
