#include "platform/ui/progress_bar.h"

namespace platform::ui {

void ProgressBar::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    Changed({ControlChange::What::Progress});
}

void ProgressBar::SetPos(int position) {
    m_position = position;
    Changed({ControlChange::What::Progress});
}

}  // namespace platform::ui
