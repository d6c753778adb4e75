#include "device_metrics.h"

#include <QStringList>

namespace qtfront {

QFont DeviceFont(const Scale& scale, int pointSize, bool bold) {
    QFont font;
    // The templates ask for Verdana; DejaVu Sans has its proportions and is always there.
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    // The device's screen has about 96 dots per inch; a little tighter reads better here.
    font.setPixelSize(scale.Px((pointSize * 5 + 2) / 4));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

}  // namespace qtfront
