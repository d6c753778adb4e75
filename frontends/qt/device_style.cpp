#include "device_style.h"

#include <QStyleFactory>
#include <QWidget>

namespace qtfront {

DeviceStyle::DeviceStyle(Scale scale)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), m_scale(scale) {}

int DeviceStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_CheckBoxLabelSpacing:
        case PM_ScrollBarExtent:
        case PM_ScrollBarSliderMin:
        case PM_DefaultFrameWidth:
        case PM_ComboBoxFrameWidth:
        case PM_ButtonMargin:
            return m_scale.Px(base);
        default:
            return base;
    }
}

void DeviceStyle::Apply(QWidget& widget) {
    widget.setStyle(this);
    for (QWidget* child : widget.findChildren<QWidget*>()) {
        child->setStyle(this);
    }
}

}  // namespace qtfront
