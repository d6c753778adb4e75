#include "platform/ui/list_view.h"

#include <algorithm>
#include <cwctype>
#include <utility>

#include "platform/ui/toolkit.h"
#include "platform/ui/window.h"

namespace platform::ui {

namespace {

// The list's own collation for sorted insertion: case-insensitive, then by code.
bool NameLess(const std::wstring& a, const std::wstring& b) {
    const auto fold = [](wchar_t c) { return std::towlower(static_cast<std::wint_t>(c)); };
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
    if (ia == a.end() || ib == b.end()) {
        if (a.size() != b.size()) {
            return a.size() < b.size();
        }
        return a < b;
    }
    return fold(*ia) < fold(*ib);
}

}  // namespace

int ListView::InsertColumn(int index, std::wstring heading, ColumnAlign align, int width) {
    if (index < 0 || index > GetColumnCount()) {
        index = GetColumnCount();
    }
    m_columns.insert(m_columns.begin() + index, ListColumn{std::move(heading), align, width});
    for (ListRow& row : m_rows) {
        row.texts.resize(m_columns.size());
    }
    Announce({ControlChange::What::Columns});
    return index;
}

void ListView::SetImageLists(const ImageList* large, const ImageList* small) {
    m_large = large;
    m_small = small;
    Announce({ControlChange::What::Reset});
}

void ListView::SetCheckBoxes(bool on) {
    m_checkBoxes = on;
    Announce({ControlChange::What::Reset});
}

void ListView::SetBackgroundColour(std::uint32_t rgb) {
    m_background = rgb;
    Announce({ControlChange::What::Reset});
}

int ListView::InsertItem(int index, std::wstring text, int image) {
    if (m_columns.empty()) {
        return -1;
    }
    int position = index;
    if ((Template().style & kStyleSortAscending) != 0) {
        const auto at = std::upper_bound(m_rows.begin(), m_rows.end(), text,
                                         [](const std::wstring& name, const ListRow& row) {
                                             return NameLess(name, row.texts[0]);
                                         });
        position = static_cast<int>(at - m_rows.begin());
    } else if (position < 0 || position > GetItemCount()) {
        position = GetItemCount();
    }
    ListRow row;
    row.texts.resize(m_columns.size());
    row.texts[0] = std::move(text);
    row.image = image;
    m_rows.insert(m_rows.begin() + position, std::move(row));
    if (m_selectionMark >= position) {
        ++m_selectionMark;
    }
    Announce({ControlChange::What::RowsInserted, position, 1});
    return position;
}

bool ListView::SetItemText(int row, int column, std::wstring text) {
    if (!Valid(row) || column < 0 || column >= GetColumnCount()) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].texts[static_cast<std::size_t>(column)] = std::move(text);
    Announce({ControlChange::What::RowsChanged, row, 1});
    return true;
}

std::wstring ListView::GetItemText(int row, int column) const {
    if (!Valid(row) || column < 0 || column >= GetColumnCount()) {
        return {};
    }
    return m_rows[static_cast<std::size_t>(row)].texts[static_cast<std::size_t>(column)];
}

bool ListView::DeleteItem(int row) {
    if (!Valid(row)) {
        return false;
    }
    m_rows.erase(m_rows.begin() + row);
    if (m_selectionMark == row) {
        m_selectionMark = -1;
    } else if (m_selectionMark > row) {
        --m_selectionMark;
    }
    Announce({ControlChange::What::RowsRemoved, row, 1});
    return true;
}

void ListView::DeleteAllItems() {
    const int count = GetItemCount();
    m_rows.clear();
    m_selectionMark = -1;
    m_topIndex = 0;
    if (count > 0) {
        Announce({ControlChange::What::RowsRemoved, 0, count});
    }
}

bool ListView::GetCheck(int row) const {
    return Valid(row) && m_rows[static_cast<std::size_t>(row)].checked;
}

bool ListView::SetCheck(int row, bool checked) {
    if (!Valid(row)) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].checked = checked;
    Announce({ControlChange::What::RowsChanged, row, 1});
    return true;
}

unsigned ListView::GetItemState(int row) const {
    return Valid(row) ? m_rows[static_cast<std::size_t>(row)].state : 0;
}

bool ListView::SetItemState(int row, unsigned state) {
    if (!Valid(row)) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].state = state;
    Announce({ControlChange::What::RowsChanged, row, 1});
    return true;
}

int ListView::GetItemImage(int row) const {
    return Valid(row) ? m_rows[static_cast<std::size_t>(row)].image : -1;
}

std::intptr_t ListView::GetItemData(int row) const {
    return Valid(row) ? m_rows[static_cast<std::size_t>(row)].data : 0;
}

bool ListView::SetItemData(int row, std::intptr_t data) {
    if (!Valid(row)) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].data = data;
    return true;
}

int ListView::SetSelectionMark(int row) {
    const int previous = m_selectionMark;
    m_selectionMark = Valid(row) ? row : -1;
    Announce({ControlChange::What::Selection});
    return previous;
}

void ListView::SelectRow(int row) {
    if (!Valid(row)) {
        return;
    }
    for (int i = 0; i < GetItemCount(); ++i) {
        ListRow& each = m_rows[static_cast<std::size_t>(i)];
        each.state = i == row ? (each.state | kStateSelected | kStateFocused)
                              : (each.state & ~(kStateSelected | kStateFocused));
    }
    m_selectionMark = row;
    Announce({ControlChange::What::Selection});
}

void ListView::SwapRows(int first, int second) {
    if (!Valid(first) || !Valid(second) || first == second) {
        return;
    }
    std::swap(m_rows[static_cast<std::size_t>(first)], m_rows[static_cast<std::size_t>(second)]);
    Announce({ControlChange::What::RowsChanged, first, 1});
    Announce({ControlChange::What::RowsChanged, second, 1});
}

Rect ListView::RowRect(int row) const {
    const Rect list = ScreenRect();
    return {list.x, list.y + kListHeaderHeight + (row - m_topIndex) * kListRowHeight, list.width,
            kListRowHeight};
}

int ListView::HitTest(Point screen) const {
    const Rect list = ScreenRect();
    if (!list.Contains(screen) || screen.y < list.y + kListHeaderHeight) {
        return -1;
    }
    const int row = m_topIndex + (screen.y - list.y - kListHeaderHeight) / kListRowHeight;
    return Valid(row) ? row : -1;
}

void ListView::SetTopIndex(int row) {
    m_topIndex = std::clamp(row, 0, std::max(0, GetItemCount() - 1));
}

void ListView::SetRedraw(bool on) {
    m_redraw = on;
    if (on && m_changedWhileFrozen) {
        m_changedWhileFrozen = false;
        Changed({ControlChange::What::Reset});
    }
}

bool ListView::AllowColumnResize(int) {
    return true;
}

bool ListView::TapAt(Point point) {
    SelectRow(HitTest(point));
    return true;
}

bool ListView::DoubleTapAt(Point point) {
    const int row = HitTest(point);
    if (row < 0) {
        return false;
    }
    SelectRow(row);
    return PostNotify(kNotifyDoubleTap, row, point);
}

bool ListView::HoldAt(Point point) {
    return PostNotify(kNotifyTapAndHold, HitTest(point), point);
}

bool ListView::PostNotify(int code, int row, Point point) const {
    if (Owner() == nullptr) {
        return false;
    }
    Message notify;
    notify.kind = MessageKind::Notify;
    notify.window = Owner()->Handle();
    notify.control = notify.id = Id();
    notify.code = code;
    notify.item = row;
    notify.point = point;
    PostMessage(notify);
    return true;
}

void ListView::Announce(ControlChange change) {
    if (!m_redraw) {
        m_changedWhileFrozen = true;
        return;
    }
    Changed(change);
}

}  // namespace platform::ui
