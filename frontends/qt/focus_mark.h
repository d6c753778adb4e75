#pragma once
// The keyboard focus drawn clearly on every control of a window: a frame two device pixels
// wide in the theme's accent colour, laid over the focused control's edge.

#include <QPointer>
#include <QWidget>

#include "scale.h"

namespace qtfront {

class FocusMark final : public QWidget {
  public:
    // Marks the focused control inside `window` (a window's view), lying over its edge.
    FocusMark(QWidget& window, Scale scale);

    static constexpr int kWidthDevicePixels = 2;
    // The focused control's frame in the window, empty while none is marked.
    QRect Frame() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Follow(QWidget* focused);
    void Place();

    Scale m_scale;
    QPointer<QWidget> m_target;
};

}  // namespace qtfront
