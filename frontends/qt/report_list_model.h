#pragma once
// The Qt model over a list view control. The control announces its changes after making
// them, one row at a time; this model holds them back and hands them to Qt in their order,
// neighbouring ones joined into one range, so that an insert moves only the rows below it
// and a fill of thousands of rows (frozen, one reset from the control) redraws once.

#include <QAbstractTableModel>
#include <QTimer>
#include <functional>
#include <vector>

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
    bool HasPendingChanges() const { return m_resetPending || !m_pending.empty(); }

    // Called after a reset; `columnsChanged` when the control's columns changed.
    std::function<void(bool columnsChanged)> onReset;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    // A held-back change; kAll as `last` stands for the last row at the time it is handed on.
    struct Pending {
        enum class Kind { Inserted, Removed, Changed } kind;
        int first;
        int last;
    };
    static constexpr int kAll = -1;
    // More held-back ranges than this go to Qt as one reset.
    static constexpr std::size_t kMaxPending = 64;

    void Hold(Pending change);
    void Reset();
    void Hand(const Pending& change);
    void ScheduleSync();
    bool Live(int row) const;

    platform::ui::ListView* m_list;
    const Artwork& m_artwork;
    int m_rows = 0;
    int m_columns = 0;
    bool m_resetPending = false;
    bool m_columnsChanged = false;
    std::vector<Pending> m_pending;
    QTimer m_syncTimer;
};

}  // namespace qtfront
