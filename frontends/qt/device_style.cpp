#include "device_style.h"

#include <QScrollBar>
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

int DeviceStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                           QStyleHintReturn* returned) const {
    if (hint == SH_ComboBox_Popup) {
        return 0;  // a list below the box, not a menu laid over it
    }
    return QProxyStyle::styleHint(hint, option, widget, returned);
}

void DeviceStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
        // A mid-grey handle on a light track, as the device draws it.
        QPalette colours = bar->palette();
        colours.setColor(QPalette::Button, QColor(0x90, 0x90, 0x90));
        colours.setColor(QPalette::Window, QColor(0xE4, 0xE4, 0xE4));
        bar->setPalette(colours);
    }
}

void DeviceStyle::Apply(QWidget& widget) {
    widget.setStyle(this);
    for (QWidget* child : widget.findChildren<QWidget*>()) {
        child->setStyle(this);
    }
}

}  // namespace qtfront
