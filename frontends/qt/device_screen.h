#pragma once
// The device's screen as a desktop window: 240 by 320 device pixels at the chosen scale.
// Closing it asks the program to end.

#include <QWidget>
#include <functional>

#include "scale.h"

namespace qtfront {

class DeviceScreen final : public QWidget {
  public:
    explicit DeviceScreen(Scale scale);

    std::function<void()> onCloseRequested;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qtfront
