#pragma once
// Device pixels on the host screen: every device pixel is drawn `factor` pixels wide.

#include <QPoint>
#include <QRect>

#include "platform/ui/geometry.h"

namespace qtfront {

struct Scale {
    int factor = 2;

    int Px(int devicePixels) const { return devicePixels * factor; }
    QRect ToWidget(platform::ui::Rect device) const {
        return {device.x * factor, device.y * factor, device.width * factor,
                device.height * factor};
    }
    // The device pixel under a widget pixel of the device screen.
    platform::ui::Point ToDevice(QPoint widget) const {
        return {FloorDiv(widget.x()), FloorDiv(widget.y())};
    }
    QPoint ToWidget(platform::ui::Point device) const {
        return {device.x * factor, device.y * factor};
    }

  private:
    int FloorDiv(int value) const {
        return value >= 0 ? value / factor : -((-value + factor - 1) / factor);
    }
};

}  // namespace qtfront
