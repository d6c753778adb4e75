#pragma once
// A check box: a tap on it ticks or clears it.

#include "platform/ui/control.h"

namespace platform::ui {

class CheckBox : public Control {
  public:
    bool GetCheck() const { return m_checked; }
    void SetCheck(bool checked);

    bool TapAt(Point point) override;

  private:
    bool m_checked = false;
};

}  // namespace platform::ui
