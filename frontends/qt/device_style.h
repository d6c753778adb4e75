#pragma once
// The widgets' style at the screen's scale: check boxes, scroll bars and frames grow with
// the device pixels, so the screen looks the same at every scale. A scroll bar's handle stands
// out from its track, and a drop-down list opens below its box.

#include <QProxyStyle>

#include "scale.h"

namespace qtfront {

class DeviceStyle final : public QProxyStyle {
  public:
    explicit DeviceStyle(Scale scale);

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override;
    void polish(QWidget* widget) override;
    using QProxyStyle::polish;

    // Gives `widget` and everything inside it this style.
    void Apply(QWidget& widget);

  private:
    Scale m_scale;
};

}  // namespace qtfront
