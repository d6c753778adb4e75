#include "screen_fit.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/ui/geometry.h"

namespace qtfront {

int FittingScale(int availableHeight) {
    for (int scale = kLargestDefaultScale; scale > 1; --scale) {
        if (scale * platform::ui::kScreenHeight <= availableHeight) {
            return scale;
        }
    }
    return 1;
}

std::optional<std::string> ScaleMisfit(int scale, int availableHeight) {
    const int height = scale * platform::ui::kScreenHeight;
    if (scale <= 1 || height <= availableHeight) {
        return std::nullopt;
    }
    return "--scale " + std::to_string(scale) + " does not fit the desktop: the device screen " +
           "would be " + std::to_string(height) + " pixels high, the desktop has " +
           std::to_string(availableHeight) + " (use --scale " +
           std::to_string(FittingScale(availableHeight)) + " or leave it out)";
}

std::optional<int> AvailableDesktopHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || QGuiApplication::platformName() == QStringLiteral("offscreen")) {
        return std::nullopt;
    }
    return screen->availableGeometry().height();
}

}  // namespace qtfront
