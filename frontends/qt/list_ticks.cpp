// The ticking of a report list's rows by a person: one row, a range, every row. Each row is
// ticked as a tap on its check box ticks it, so the program sees the same changes.

#include "report_list_view.h"

#include <algorithm>

namespace qtfront {

void ReportListView::Tick(int row, bool checked) {
    if (m_list == nullptr || !m_list->HasCheckBoxes() || !m_list->SetCheck(row, checked)) {
        return;
    }
    if (checked) {
        m_tickAnchor = row;
    }
}

void ReportListView::TickRangeTo(int row) {
    if (m_list == nullptr || !m_list->HasCheckBoxes() || row < 0 || row >= m_list->GetItemCount()) {
        return;
    }
    // From the last row ticked while it stays ticked, else from the marked row.
    int from = m_list->GetCheck(m_tickAnchor) ? m_tickAnchor : m_list->GetSelectionMark();
    if (from < 0 || from >= m_list->GetItemCount()) {
        from = row;
    }
    for (int each = std::min(from, row); each <= std::max(from, row); ++each) {
        if (!m_list->GetCheck(each)) {
            m_list->SetCheck(each, true);
        }
    }
    m_tickAnchor = row;
}

void ReportListView::TickAll() {
    if (m_list == nullptr || !m_list->HasCheckBoxes()) {
        return;
    }
    for (int row = 0; row < m_list->GetItemCount(); ++row) {
        if (!m_list->GetCheck(row)) {
            m_list->SetCheck(row, true);
        }
    }
}

}  // namespace qtfront
