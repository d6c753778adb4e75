#pragma once
// A progress bar: a position within a range.

#include "platform/ui/control.h"

namespace platform::ui {

class ProgressBar : public Control {
  public:
    void SetRange(int lower, int upper);
    void SetPos(int position);
    int GetPos() const { return m_position; }
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }

  private:
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
};

}  // namespace platform::ui
