#pragma once
// While a hold menu is open, the row it was opened on shows as marked, whether the hold came
// from a long press, a right click or the keyboard.

#include "platform/ui/list_view.h"
#include "report_list_view.h"

namespace qtfront {

class HeldRowMark final {
  public:
    HeldRowMark(ReportListView* view, platform::ui::Point screen) : m_view(view) {
        if (m_view != nullptr && m_view->List() != nullptr) {
            m_view->ShowHeld(m_view->List()->HitTest(screen));
        }
    }
    ~HeldRowMark() {
        if (m_view != nullptr) {
            m_view->ShowHeld(-1);
        }
    }
    HeldRowMark(const HeldRowMark&) = delete;
    HeldRowMark& operator=(const HeldRowMark&) = delete;

  private:
    ReportListView* m_view;
};

}  // namespace qtfront
