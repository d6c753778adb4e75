#pragma once
// A push button: a tap on it is its command.

#include "platform/ui/control.h"

namespace platform::ui {

class Button : public Control {
  public:
    bool TapAt(Point point) override;
};

}  // namespace platform::ui
