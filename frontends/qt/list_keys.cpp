#include "list_keys.h"

#include <QKeyEvent>
#include <algorithm>

#include "report_list_view.h"

namespace qtfront {

namespace {

// The row the mark moves to for `key`, or -1 when the key does not move it.
int MovedMark(int key, int mark, int rows, int page) {
    if (rows <= 0) {
        return -1;
    }
    // Without a mark, the first step lands on the first row.
    const int from = mark < 0 ? -1 : mark;
    int to = -1;
    switch (key) {
        case Qt::Key_Up:
            to = from < 0 ? 0 : from - 1;
            break;
        case Qt::Key_Down:
            to = from + 1;
            break;
        case Qt::Key_PageUp:
            to = from < 0 ? 0 : from - page;
            break;
        case Qt::Key_PageDown:
            to = from < 0 ? 0 : from + page;
            break;
        case Qt::Key_Home:
            to = 0;
            break;
        case Qt::Key_End:
            to = rows - 1;
            break;
        default:
            return -1;
    }
    return std::clamp(to, 0, rows - 1);
}

// Moves the mark for `key`; `ticking` ticks the rows from the last ticked one to the new mark.
bool MoveMark(ReportListView& view, const QKeyEvent& key, bool ticking) {
    platform::ui::ListView& list = *view.List();
    const int to =
        MovedMark(key.key(), list.GetSelectionMark(), list.GetItemCount(), view.RowsPerPage());
    if (to < 0) {
        return false;
    }
    if (ticking) {
        view.TickRangeTo(to);
    }
    list.SelectRow(to);
    view.ShowRow(to);
    return true;
}

}  // namespace

bool HandleListKey(ReportListView& view, const QKeyEvent& key) {
    platform::ui::ListView* list = view.List();
    if (list == nullptr) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const int mark = list->GetSelectionMark();
    const bool marked = mark >= 0 && mark < list->GetItemCount();
    if (key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        view.Hold(marked ? mark : -1);
        return true;
    }
    if (modifiers == Qt::ControlModifier && key.key() == Qt::Key_A) {
        view.TickAll();
        return true;
    }
    if (modifiers == Qt::ShiftModifier) {
        return MoveMark(view, key, true);
    }
    if (modifiers != Qt::NoModifier) {
        return false;
    }
    switch (key.key()) {
        case Qt::Key_Space:
            if (marked) {
                view.Tick(mark, !list->GetCheck(mark));
            }
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Without a marked row Enter goes on to the window's default button.
            if (!marked) {
                return false;
            }
            view.DoubleTap(mark);
            return true;
        default:
            break;
    }
    return MoveMark(view, key, false);
}

}  // namespace qtfront
