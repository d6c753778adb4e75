#pragma once
// The Qt model over a list view control. The control announces its changes after making
// them, one row at a time; this model holds them back and hands them to Qt as one reset or
// one range, so that filling or sorting thousands of rows redraws once.

#include <QAbstractTableModel>
#include <QTimer>
#include <functional>

#include "artwork.h"
#include "platform/ui/list_view.h"

namespace qtfront {

class ReportListModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    // Extra roles of column 0 for the row painter.
    enum Role { kSelectedRole = Qt::UserRole + 1, kHasCheckBoxRole };

    ReportListModel(platform::ui::ListView& list, const Artwork& artwork, QObject* parent);

    // The control is going away: the model shows nothing more of it.
    void Detach();
    void OnChange(const platform::ui::ControlChange& change);
    // Hands the held-back changes to Qt now.
    void Sync();
    bool HasPendingChanges() const { return m_resetPending || m_changedFirst >= 0; }

    // Called after a reset; `columnsChanged` when the control's columns changed.
    std::function<void(bool columnsChanged)> onReset;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    void MarkChanged(int first, int last);
    void ScheduleSync();
    bool Live(int row) const;

    platform::ui::ListView* m_list;
    const Artwork& m_artwork;
    int m_rows = 0;
    int m_columns = 0;
    bool m_resetPending = false;
    bool m_columnsChanged = false;
    int m_changedFirst = -1;
    int m_changedLast = -1;
    QTimer m_syncTimer;
};

}  // namespace qtfront
