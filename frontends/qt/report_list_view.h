#pragma once
// A report-style list view bound to a list view control. A tap selects a row or ticks its
// check box, a double tap and a tap-and-hold (long press or right click) notify the window
// with the row and the screen point, a header click notifies the column; Shift+click ticks a
// range of rows. The keyboard works the same rows (list_keys.h).

#include <QPoint>
#include <QTimer>
#include <QTreeView>

#include "control_view.h"
#include "platform/ui/list_view.h"

namespace qtfront {

class ListHeader;
class ListRowDelegate;
class ReportListModel;

class ReportListView final : public QTreeView, public ControlView {
  public:
    ReportListView(platform::ui::ListView& list, QWidget& parent, const ViewContext& context);

    QWidget& Widget() override { return *this; }
    void Unbind(bool modelAlive) override;
    void Sync() override;

    // Where a person taps to tick row `row`, and a point on its name, in viewport pixels.
    QPoint CheckBoxPoint(int row) const;
    QPoint RowPoint(int row) const;
    ReportListModel& Model() const { return *m_model; }
    ListHeader& Header() const { return *m_header; }
    platform::ui::ListView* List() const { return m_list; }

    // A double tap, or a tap-and-hold, on row `row` (-1: the empty space below the rows).
    void DoubleTap(int row);
    void Hold(int row);
    // Ticks or unticks one row as a tap on its check box does.
    void Tick(int row, bool checked);
    // Ticks every row from the last one ticked (or else the marked one) to `row`.
    void TickRangeTo(int row);
    void TickAll();
    // Scrolls row `row` into sight.
    void ShowRow(int row);
    int RowsPerPage() const;
    // Row `row` is drawn marked while its hold menu is open (-1: none).
    void ShowHeld(int row);
    int HeldRow() const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OnModelChanged(const platform::ui::ControlChange& change);
    void AfterReset(bool columnsChanged);
    void ApplyColumnWidths();
    bool InCheckBox(QPoint viewportPos) const;
    platform::ui::Point DevicePoint(QPoint viewportPos) const;
    void Notify(int code, int row, QPoint viewportPos, int column = -1) const;

    platform::ui::ListView* m_list;
    Scale m_scale;
    platform::ui::WindowHandle m_window;
    ReportListModel* m_model;
    ListRowDelegate* m_delegate;
    ListHeader* m_header;
    QTimer m_holdTimer;
    QPoint m_pressPos;
    int m_tickAnchor = -1;  // the row a person ticked last, while the rows stay where they are
};

}  // namespace qtfront
