#include "platform/ui/check_box.h"

namespace platform::ui {

void CheckBox::SetCheck(bool checked) {
    m_checked = checked;
    Changed({ControlChange::What::State});
}

bool CheckBox::TapAt(Point) {
    SetCheck(!m_checked);
    return true;
}

}  // namespace platform::ui
